#include "ZnSimFileService.h"
#include "ZnSimListener.h"

#include <json/json.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

namespace {
const std::string kEnd = "\r\n\r\n";
constexpr size_t kMaxRequest = 64 * 1024;
constexpr int kIdleMs = 10000;

QString q(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

std::string s(const QString& t)
{
    return t.toUtf8().toStdString();
}

bool safeName(const std::string& n)
{
    if (n.empty() || n == "." || n == "..")
        return false;
    for (const unsigned char c : n) {
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f)
            return false;
    }
    return true;
}

// The folder below the root that a service-side folder name stands for: an
// absolute name must lie under the server root, a relative one is taken from
// the root. False for any name that would leave the root.
bool resolveDir(const std::string& dirName, std::string& rel, const std::string& root = ZnSimFileService::kServerRoot)
{
    std::string rest = dirName;
    if (!rest.empty() && rest[0] == '/') {
        if (rest == root)
            rest.clear();
        else if (rest.compare(0, root.size() + 1, root + "/") == 0)
            rest = rest.substr(root.size() + 1);
        else
            return false;
    }
    if (rest == ".")
        rest.clear();
    rel.clear();
    size_t pos = 0;
    while (pos <= rest.size()) {
        const size_t slash = rest.find('/', pos);
        const std::string part = rest.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        if (!part.empty()) {
            if (!safeName(part))
                return false;
            rel += (rel.empty() ? "" : "/") + part;
        }
        if (slash == std::string::npos)
            break;
        pos = slash + 1;
    }
    return true;
}

std::string write(const Json::Value& v)
{
    Json::StreamWriterBuilder b;
    b["emitUTF8"] = true;
    b["indentation"] = "";
    return Json::writeString(b, v) + kEnd;
}

// One JSON string: quote, backslash and control characters escaped, UTF-8 kept.
std::string quoted(const std::string& t)
{
    std::string out = "\"";
    for (const char c : t) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string str(const Json::Value& req, const char* key)
{
    const Json::Value& v = req[key];
    return v.isString() ? v.asString() : std::string();
}

struct Entry
{
    std::string name;
    bool isDir;
    long long size;
    std::string date;
};

// The folder's entries, files first and then folders, each in name order; read
// with one stat per entry, as a listing of thousands of files has to be quick.
std::vector<Entry> readFolder(const std::string& dir)
{
    std::vector<Entry> out;
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return out;
    // Files of one folder mostly share their second: the date is made once per second.
    time_t lastTime = -1;
    std::string lastDate;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st
        {};
        if (::fstatat(::dirfd(d), name.c_str(), &st, 0) != 0)
            continue;
        if (st.st_mtime != lastTime) {
            struct tm t
            {};
            ::localtime_r(&st.st_mtime, &t);
            char date[32];
            std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &t);
            lastTime = st.st_mtime;
            lastDate = date;
        }
        out.push_back({name, S_ISDIR(st.st_mode), static_cast<long long>(st.st_size), lastDate});
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(),
              [](const Entry& a, const Entry& b) { return a.isDir != b.isDir ? b.isDir : a.name < b.name; });
    return out;
}

struct Sender
{
    int fd;
    int split;
    bool send(const char* data, size_t n)
    {
        while (n > 0) {
            size_t piece = n;
            if (split > 0)
                piece = std::min<size_t>(n, static_cast<size_t>(split));
            const ssize_t w = ::send(fd, data, piece, MSG_NOSIGNAL);
            if (w <= 0)
                return false;
            data += w;
            n -= static_cast<size_t>(w);
        }
        return true;
    }
    bool send(const std::string& t) { return send(t.data(), t.size()); }
};

// Reads into buf until it holds at least want bytes; false on close, error or a
// long silence.
bool readMore(int fd, std::string& buf, size_t want, const std::atomic<bool>& stop)
{
    char tmp[65536];
    int idle = 0;
    while (buf.size() < want) {
        if (stop)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, 100);
        if (r == 0) {
            if ((idle += 100) >= kIdleMs)
                return false;
            continue;
        }
        const ssize_t n = ::recv(fd, tmp, sizeof tmp, 0);
        if (n <= 0)
            return false;
        idle = 0;
        buf.append(tmp, static_cast<size_t>(n));
    }
    return true;
}

// Reads and drops whatever comes until the peer closes, errs or falls silent.
void drain(int fd, const std::atomic<bool>& stop)
{
    char tmp[65536];
    for (int idle = 0; !stop && idle < kIdleMs;) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, 100);
        if (r < 0 || (r > 0 && ::recv(fd, tmp, sizeof tmp, 0) <= 0))
            return;
        idle = r == 0 ? idle + 100 : 0;
    }
}
}

ZnSimFileService::ZnSimFileService() = default;

ZnSimFileService::~ZnSimFileService()
{
    stop();
}

bool ZnSimFileService::start(int port, const std::string& host, const std::string& folder)
{
    // In $TMPDIR, so that whoever runs us can give us a folder of its own to clear.
    const std::string temp = s(QDir::tempPath());
    if (folder.empty()) {
        std::string tmpl = temp + "/zn_media_XXXXXX";
        if (!::mkdtemp(&tmpl[0]))
            return false;
        m_folder = tmpl;
        m_ownsFolder = true;
        addSamples(m_folder);
    } else {
        m_folder = s(QDir(q(folder)).absolutePath());
        QDir().mkpath(q(m_folder));
    }
    std::string sysTmpl = temp + "/zn_sysfs_XXXXXX";
    if (!::mkdtemp(&sysTmpl[0]))
        return false;
    m_systemFolder = sysTmpl;
    QDir().mkpath(q(backupFolder()));
    QDir().mkpath(q(recoveryFolder()));
    m_listenFd = ZnSimListener::open(host, port, 16, m_port);
    if (m_listenFd < 0)
        return false;
    m_stop = false;
    m_thread = std::thread([this] { acceptLoop(); });
    return true;
}

void ZnSimFileService::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        workers.swap(m_workers);
    }
    for (std::thread& t : workers)
        t.join();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    m_listenFd = -1;
    if (m_ownsFolder && !m_folder.empty())
        QDir(q(m_folder)).removeRecursively();
    m_ownsFolder = false;
    if (!m_systemFolder.empty())
        QDir(q(m_systemFolder)).removeRecursively();
    m_systemFolder.clear();
}

void ZnSimFileService::setFaults(const Faults& faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
}

ZnSimFileService::Faults ZnSimFileService::faults() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults;
}

std::vector<std::string> ZnSimFileService::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void ZnSimFileService::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

namespace {
// Silent MPEG-1 layer III frames, so the file looks like what it is named.
void writeMp3(const QString& path, int frames)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF), frame[1] = char(0xFB), frame[2] = char(0x90), frame[3] = char(0x64);
    for (int i = 0; i < frames; ++i)
        f.write(frame);
}
} // namespace

void ZnSimFileService::addSamples(const std::string& folder)
{
    struct Sample
    {
        const char* path;
        int kib;
    };
    static const Sample samples[] = {
        {"背景音乐/轻音乐01.mp3", 512}, {"背景音乐/晨曲.mp3", 360}, {"背景音乐/午休音乐.mp3", 820},
        {"通知/上课铃.mp3", 48},        {"通知/下课铃.mp3", 52},    {"通知/眼保健操.mp3", 640},
        {"应急广播/消防疏散.mp3", 96},  {"欢迎词.mp3", 120},        {"school_song.mp3", 1500},
    };
    const QDir root(q(folder));
    root.mkpath(QStringLiteral("演出"));
    for (const Sample& sm : samples)
        writeMp3(root.filePath(QString::fromUtf8(sm.path)), sm.kib * 1024 / 417);
}

void ZnSimFileService::addRecordings(const std::vector<std::string>& serverPaths) const
{
    const std::string root = std::string(kServerRoot) + "/";
    int frames = 20000;
    for (const std::string& path : serverPaths) {
        if (path.compare(0, root.size(), root) != 0 || path.find("..") != std::string::npos)
            continue;
        writeMp3(q(m_folder + "/" + path.substr(root.size())), frames);
        frames = 600;
    }
}

void ZnSimFileService::acceptLoop()
{
    while (!m_stop) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_workers.emplace_back([this, fd] { serve(fd); });
    }
}

void ZnSimFileService::serve(int fd)
{
    std::string buf;
    size_t end = std::string::npos;
    while ((end = buf.find(kEnd)) == std::string::npos) {
        if (buf.size() > kMaxRequest || !readMore(fd, buf, buf.size() + 1, m_stop)) {
            ::close(fd);
            return;
        }
    }
    const std::string request = buf.substr(0, end);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
    }
    bool answered = false;
    const Faults f = faults();
    // What came after the request already belongs to an uploaded file.
    std::string rest = buf.substr(end + kEnd.size());
    const std::string reply = handle(fd, request, rest, f, answered);
    if (!answered && !reply.empty())
        Sender{fd, f.split}.send(reply);
    ::shutdown(fd, SHUT_WR);
    // Lets the client read everything before the connection goes.
    char tmp[256];
    pollfd p{fd, POLLIN, 0};
    for (int i = 0; i < 20 && ::poll(&p, 1, 100) > 0 && ::recv(fd, tmp, sizeof tmp, 0) > 0; ++i) {
    }
    ::close(fd);
}

std::string ZnSimFileService::handle(int fd, const std::string& request, std::string& rest, const Faults& f,
                                     bool& answered)
{
    Json::Value req;
    Json::CharReaderBuilder rb;
    std::unique_ptr<Json::CharReader> reader(rb.newCharReader());
    std::string err;
    Json::Value out(Json::objectValue);
    if (!reader->parse(request.data(), request.data() + request.size(), &req, &err) || !req.isObject()) {
        out["Command"] = "Error";
        out["Reason"] = "bad request";
        return write(out);
    }
    const std::string cmd = str(req, "Command");
    out["CSeq"] = str(req, "CSeq");
    const auto fail = [&](const std::string& why) {
        out["Command"] = cmd;
        out["Result"] = "Fail";
        out["Reason"] = why;
        return write(out);
    };
    if (!f.answerCommand.empty() && cmd == f.answerCommand && cmd != "PostFile")
        return f.answerText;
    if (f.refuseAll && cmd != "GetFileRoot" && cmd != "GetFileList" && cmd != "PostFile")
        return fail("refused");
    const auto ok = [&] {
        out["Command"] = cmd;
        out["Result"] = "OK";
        return write(out);
    };
    // A request naming the backup or recovery folder works there, anything else
    // in the media library.
    QDir base(q(m_folder));
    std::string root = kServerRoot;
    const std::string dirName = str(req, "DirName");
    for (const char* system : {kBackupRoot, kRecoveryRoot}) {
        const std::string r = system;
        if (dirName == r || dirName.compare(0, r.size() + 1, r + "/") == 0) {
            base = QDir(q(r == kBackupRoot ? backupFolder() : recoveryFolder()));
            root = r;
        }
    }
    const auto resolve = [&root](const std::string& name, std::string& found) { return resolveDir(name, found, root); };
    std::string rel;

    if (cmd == "GetFileRoot") {
        out["Command"] = "PostFileRoot";
        out["FileRoot"] = kServerRoot;
        return write(out);
    }
    if (cmd == "GetFileList") {
        if (!resolve(str(req, "DirName"), rel))
            return fail("bad folder name");
        const QDir dir(base.filePath(q(rel)));
        if (!dir.exists())
            return fail("no such folder");
        const std::string prefix = root + (rel.empty() ? "" : "/" + rel) + "/";
        std::vector<Entry> entries = readFolder(s(dir.absolutePath()));
        if (f.hostileListing) {
            for (const char* bad : {"../x", "a\\b", "", ".", "..", "bad\x01name"})
                entries.push_back({bad, false, 10, "2026-12-06 08:30:00"});
        }
        // Written by hand, keys in the JSON writer's order: for a listing of ten
        // thousand entries the writer takes longer than the console.
        std::string text = "{\"CSeq\":" + quoted(str(req, "CSeq")) + ",\"Command\":\"GetFileList\",\"FileList\":[";
        text.reserve(entries.size() * (prefix.size() + 96));
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            text += i ? ",{\"CreatDate\":" : "{\"CreatDate\":";
            text += quoted(e.date);
            text += ",\"FileName\":";
            text += quoted(prefix + e.name);
            text += ",\"Size\":\"";
            text += e.isDir ? std::string("-1") : std::to_string(e.size);
            text += "\"}";
        }
        return text + "]}" + kEnd;
    }
    if (cmd == "GetFile") {
        const std::string name = str(req, "FileName");
        if (!resolve(str(req, "DirName"), rel) || !safeName(name))
            return fail("bad file name");
        QFile file(base.filePath(q(rel + (rel.empty() ? "" : "/") + name)));
        if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
            return fail("no such file");
        out["Command"] = "GetFile";
        out["FileLen"] = f.fileLenText.empty() ? std::to_string(file.size()) : f.fileLenText;
        answered = true;
        Sender sender{fd, f.split};
        if (!sender.send(write(out)))
            return std::string();
        int64_t left = f.cutGetFileAt >= 0 ? std::min<int64_t>(f.cutGetFileAt, file.size()) : file.size();
        std::vector<char> chunk(1 << 20);
        while (left > 0 && !m_stop) {
            const qint64 n = file.read(chunk.data(), std::min<int64_t>(left, static_cast<int64_t>(chunk.size())));
            if (n <= 0 || !sender.send(chunk.data(), static_cast<size_t>(n)))
                break;
            left -= n;
        }
        // Silent but connected: only the client's own limit ends the transfer.
        char tmp[4096];
        pollfd p{fd, POLLIN, 0};
        while (f.stallAtCut && !m_stop) {
            const int ready = ::poll(&p, 1, 50);
            if (ready < 0 || (ready > 0 && ::recv(fd, tmp, sizeof tmp, 0) <= 0))
                break;
        }
        return std::string();
    }
    if (cmd == "PostFile") {
        const std::string name = str(req, "FileName");
        const std::string lenText = str(req, "FileLen");
        char* endp = nullptr;
        const long long len = std::strtoll(lenText.c_str(), &endp, 10);
        if (!resolve(str(req, "DirName"), rel) || !safeName(name) || lenText.empty() || *endp || len < 0)
            return fail("bad upload");
        if (f.takePostBytes >= 0 && f.takePostBytes < len) {
            if (!readMore(fd, rest, static_cast<size_t>(f.takePostBytes), m_stop))
                return std::string();
            answered = true;
            Sender{fd, f.split}.send(f.answerCommand == cmd ? f.answerText : ok());
            if (!f.keepTakenOpen)
                ::shutdown(fd, SHUT_WR);
            drain(fd, m_stop);
            return std::string();
        }
        if (!readMore(fd, rest, static_cast<size_t>(len), m_stop))
            return std::string();
        rest.resize(static_cast<size_t>(len));
        if (f.answerCommand == cmd)
            return f.answerText;
        const QString target = base.filePath(q(rel + (rel.empty() ? "" : "/") + name));
        if (f.refusePost || f.refuseAll)
            return fail("upload refused");
        // Beside the target under a name that fits wherever the target's name does.
        QFile tmp(base.filePath(q(rel + (rel.empty() ? "" : "/") + ".upload")));
        if (!QDir(base.filePath(q(rel))).exists() || !tmp.open(QIODevice::WriteOnly)
            || tmp.write(rest.data(), static_cast<qint64>(rest.size())) != static_cast<qint64>(rest.size()))
            return fail("cannot store");
        tmp.close();
        QFile::remove(target);
        tmp.rename(target);
        if (f.silentPost) {
            answered = true;
            return std::string();
        }
        return ok();
    }
    if (cmd == "CreatDIR" || cmd == "DeleteDIR") {
        const std::string name = str(req, "DirName");
        if (!resolve(name, rel) || rel.empty())
            return fail("bad folder name");
        const bool done = cmd == "CreatDIR" ? base.mkpath(q(rel)) : QDir(base.filePath(q(rel))).removeRecursively();
        return done ? ok() : fail("failed");
    }
    if (cmd == "DelFile") {
        const std::string name = str(req, "FileName");
        if (!resolve(str(req, "DirName"), rel) || !safeName(name))
            return fail("bad file name");
        return QFile::remove(base.filePath(q(rel + (rel.empty() ? "" : "/") + name))) ? ok() : fail("no such file");
    }
    if (cmd == "RenameDIR" || cmd == "RenameFile") {
        const bool isDir = cmd == "RenameDIR";
        const std::string from = str(req, isDir ? "OldDirName" : "OldFileName");
        const std::string to = str(req, isDir ? "NewDirName" : "NewFileName");
        if (!resolve(str(req, "DirName"), rel) || !safeName(from) || !safeName(to))
            return fail("bad name");
        QDir dir(base.filePath(q(rel)));
        if (dir.exists(q(to)))
            return fail("name taken");
        return dir.rename(q(from), q(to)) ? ok() : fail("failed");
    }
    out["Command"] = "Error";
    out["Reason"] = "unknown command";
    return write(out);
}
