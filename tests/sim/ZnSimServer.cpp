#include "ZnSimServer.h"
#include "ZnSimListener.h"

#include "ZnDigest.h"
#include "ZnMessageFramer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <map>

struct ZnSimServer::Client
{
    int fd = -1;
    ZnMessageFramer framer;
    std::deque<Outgoing> out;
    std::vector<std::string> held;
    bool closing = false;
};

namespace {
std::string trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool startsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

std::string deleteMessage(const std::string& type, int id)
{
    return "DELETE DBP/1.0\r\nPacket-Type:" + type + "\r\nId: " + std::to_string(id) + "\r\n\r\n";
}
}

ZnSimServer::ZnSimServer()
{
    m_data.loadSample();
}

ZnSimServer::~ZnSimServer()
{
    stop();
}

bool ZnSimServer::start(int port, const std::string& host)
{
    stop();
    m_listenFd = ZnSimListener::open(host, port, 8, m_port);
    if (m_listenFd < 0)
        return false;
    ::fcntl(m_listenFd, F_SETFL, ::fcntl(m_listenFd, F_GETFL, 0) | O_NONBLOCK);
    m_stop = false;
    m_thread = std::thread([this] { loop(); });
    return true;
}

void ZnSimServer::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& c : m_clients)
        closeClient(*c);
    m_clients.clear();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    m_listenFd = -1;
}

std::string ZnSimServer::answer(bool ok, int cseq, const std::string& body)
{
    std::string a = ok ? "DBP/1.0 200 OK\r\n" : "DBP/1.0 400 FAILED\r\n";
    a += "CSeq: " + std::to_string(cseq) + "\r\n";
    a += "Content-Length:" + std::to_string(body.size()) + "\r\n\r\n";
    return a + body;
}

std::string ZnSimServer::message(const std::string& startLine, const std::string& packetType,
                                 const std::string& packetSubtype, const std::string& body)
{
    std::string m = startLine + "\r\n";
    if (!packetType.empty())
        m += "Packet-Type:" + packetType + "\r\n";
    if (!packetSubtype.empty())
        m += "Packet-Subtype:" + packetSubtype + "\r\n";
    m += "Content-Length:" + std::to_string(body.size()) + "\r\n\r\n";
    return m + body;
}

void ZnSimServer::pushPost(const std::string& packetType, const std::string& packetSubtype, const std::string& body)
{
    pushRaw(message("POST DBP/1.0", packetType, packetSubtype, body));
}

void ZnSimServer::pushSet(const std::string& packetType, const std::string& packetSubtype, const std::string& body)
{
    pushRaw(message("SET DBP/1.0", packetType, packetSubtype, body));
}

bool ZnSimServer::pushAlarmTrigger(int id, int bits)
{
    Json::Value rows(Json::arrayValue);
    withData([&](ZnSimData& d) {
        for (Json::Value& r : d.table("firealarm")) {
            if (r["terminalId"].asString() == std::to_string(id)) {
                r["shortCircuit"] = std::to_string(bits);
                rows.append(r);
            }
        }
    });
    if (rows.empty())
        return false;
    pushPost("SqlConfig", "firealarm", ZnSimData::json(rows));
    return true;
}

void ZnSimServer::pushDelete(const std::string& type, int id)
{
    pushRaw(deleteMessage(type, id));
}

void ZnSimServer::pushRaw(const std::string& bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& c : m_clients)
        queue(*c, bytes);
}

void ZnSimServer::releaseHeld()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& c : m_clients) {
        for (const std::string& a : c->held)
            queue(*c, a);
        c->held.clear();
    }
}

void ZnSimServer::closeClients()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& c : m_clients)
        c->closing = true;
}

int ZnSimServer::count(const std::string& labelPrefix) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(std::count_if(m_requests.begin(), m_requests.end(),
                                          [&](const ZnSimRequest& r) { return startsWith(r.label(), labelPrefix); }));
}

void ZnSimServer::loop()
{
    while (!m_stop) {
        std::vector<pollfd> fds;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            fds.push_back(pollfd{m_listenFd, POLLIN, 0});
            // A client with output due is woken as soon as its socket takes more.
            const auto now = Clock::now();
            for (auto& c : m_clients) {
                const bool due = !c->out.empty() && c->out.front().due <= now;
                fds.push_back(pollfd{c->fd, static_cast<short>(due ? POLLIN | POLLOUT : POLLIN), 0});
            }
        }
        ::poll(fds.data(), fds.size(), 2);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (fds[0].revents & POLLIN)
            acceptClients();
        for (size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            for (auto& c : m_clients) {
                if (c->fd == fds[i].fd)
                    readClient(*c);
            }
        }
        for (auto& c : m_clients)
            flush(*c);
        m_clients.erase(std::remove_if(m_clients.begin(), m_clients.end(),
                                       [](const std::unique_ptr<Client>& c) { return c->fd < 0; }),
                        m_clients.end());
    }
}

void ZnSimServer::acceptClients()
{
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        std::unique_ptr<Client> c(new Client);
        c->fd = fd;
        Client* raw = c.get();
        c->framer.setMessageHook([this, raw](std::string_view m) { handle(*raw, std::string(m)); });
        m_clients.push_back(std::move(c));
        ++m_accepted;
    }
}

void ZnSimServer::readClient(Client& client)
{
    char buf[65536];
    const ssize_t n = ::recv(client.fd, buf, sizeof(buf), MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        closeClient(client);
        return;
    }
    if (n < 0)
        return;
    m_received.append(buf, static_cast<size_t>(n));
    if (client.framer.feed(buf, static_cast<size_t>(n)) != ZnMessageFramer::Ok)
        closeClient(client);
}

ZnSimRequest ZnSimServer::parseRequest(const std::string& message)
{
    ZnSimRequest r;
    r.raw = message;
    const size_t sep = message.find("\r\n\r\n");
    const std::string head = message.substr(0, sep);
    if (sep != std::string::npos)
        r.body = message.substr(sep + 4);
    size_t pos = 0;
    bool first = true;
    while (pos <= head.size()) {
        size_t end = head.find("\r\n", pos);
        if (end == std::string::npos)
            end = head.size();
        const std::string line = head.substr(pos, end - pos);
        pos = end + 2;
        if (first) {
            r.method = line.substr(0, line.find(' '));
            first = false;
            continue;
        }
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const std::string name = line.substr(0, colon);
        const std::string value = trim(line.substr(colon + 1));
        const std::map<std::string, std::string*> texts = {{"Packet-Type", &r.packetType},
                                                           {"Packet-Subtype", &r.packetSubtype},
                                                           {"Data", &r.data},
                                                           {"Command", &r.command}};
        if (texts.count(name))
            *texts.at(name) = value;
        else if (name == "CSeq" || name == "Id")
            (name == "Id" ? r.id : r.cseq) = std::atoi(value.c_str());
    }
    return r;
}

void ZnSimServer::handle(Client& client, const std::string& message)
{
    const ZnSimRequest request = parseRequest(message);
    m_requests.push_back(request);

    const ZnSimRule* rule = nullptr;
    for (ZnSimRule& r : m_rules) {
        if (r.times != 0 && startsWith(request.label(), r.match)) {
            if (r.times > 0)
                --r.times;
            rule = &r;
            break;
        }
    }
    // A refused or scripted request changes nothing.
    const bool scripted = rule && (rule->action == ZnSimRule::Fail || rule->action == ZnSimRule::Reply);
    bool ok = scripted ? rule->action == ZnSimRule::Reply : true;
    const std::string generated = scripted ? std::string() : respond(request, ok);
    std::string a = answer(ok, request.cseq, scripted ? rule->text : generated);
    if (rule && rule->action == ZnSimRule::Withhold)
        client.held.push_back(std::move(a));
    else if (rule && rule->action == ZnSimRule::CloseMidMessage)
        queue(client, a.substr(0, std::max<size_t>(1, a.size() / 2)), 0, true);
    else
        queue(client, std::move(a), rule && rule->action == ZnSimRule::Delay ? rule->delayMs : 0);
    if (m_requestHook) {
        const std::string after = m_requestHook(request);
        if (!after.empty())
            queue(client, after);
    }
}

std::string ZnSimServer::respond(const ZnSimRequest& request, bool& ok)
{
    ok = true;
    if (request.method == "LOGIN") {
        Json::Value in;
        Json::Reader reader;
        ok = false;
        if (reader.parse(request.body, in) && in.isObject() && in["Name"].isString() && in["PassWord"].isString()
            && in["Time"].isString()) {
            const std::string name = in["Name"].asString();
            auto user = m_data.users.find(name);
            ok = user != m_data.users.end()
                 && hmacSha1Hex(loginDigestText(name, user->second, in["Time"].asString()), user->second)
                        == in["PassWord"].asString();
        }
        return std::string();
    }
    if (request.method == "ONLINE")
        return std::string();
    if (request.method == "GET" && request.packetType == "GetSystemTime") {
        Json::Value t(Json::objectValue);
        t["SystemTime"] = m_systemTime;
        return ZnSimData::json(t);
    }
    if (request.method == "GET" && (request.packetType == "SqlConfig" || request.packetType == "SqlLog")) {
        Json::Value rows;
        ok = m_data.query(request.body, rows);
        return ok ? ZnSimData::json(rows) : "unknown statement";
    }
    if (request.method == "GET" && !request.data.empty()) {
        // One record as XML, under the family's list element, its columns as attributes.
        return m_data.recordXml(request.data, request.id);
    }
    if (request.method == "POST" && request.packetType == "DataBackup") {
        std::string body;
        ok = m_data.backup(request.body, body);
        return body;
    }
    if (request.method == "POST" && request.packetType == "DataRecovery") {
        ok = m_data.recover(request.body);
        return std::string();
    }
    if (request.method == "POST") {
        std::string table;
        Json::Value changed;
        m_data.refusal.clear();
        m_data.deletions.clear();
        ok = m_data.applyChange(request.packetType, request.body, table, changed);
        if (!ok)
            return m_data.refusal;
        for (auto& c : m_clients) {
            if (!m_pushChanges)
                break;
            for (const auto& d : m_data.deletions)
                queue(*c, deleteMessage(d.first, d.second), 1);
            if (!table.empty() && !changed.empty())
                queue(*c, message("POST DBP/1.0", "SqlConfig", table, ZnSimData::json(changed)), 1);
        }
        // A timer plan added or changed comes back in the answer, under its id.
        if (table == "timerplan" && !changed.empty())
            return ZnSimData::json(changed);
        return std::string();
    }
    if (request.method == "SET")
        return std::string();
    ok = false;
    return "unknown request";
}

void ZnSimServer::queue(Client& client, std::string bytes, int delayMs, bool closeAfter)
{
    auto due = Clock::now() + std::chrono::milliseconds(delayMs);
    // Keep the order of everything already queued.
    if (!client.out.empty())
        due = std::max(due, client.out.back().due);
    if (m_splitBytes <= 0 || bytes.size() <= static_cast<size_t>(m_splitBytes)) {
        client.out.push_back(Outgoing{due, std::move(bytes), 0, closeAfter});
        return;
    }
    for (size_t pos = 0; pos < bytes.size(); pos += static_cast<size_t>(m_splitBytes)) {
        const bool last = pos + static_cast<size_t>(m_splitBytes) >= bytes.size();
        client.out.push_back(
            Outgoing{due, bytes.substr(pos, static_cast<size_t>(m_splitBytes)), 0, last && closeAfter});
        due += std::chrono::milliseconds(m_splitPauseMs);
    }
}

void ZnSimServer::flush(Client& client)
{
    const auto now = Clock::now();
    while (client.fd >= 0 && !client.out.empty() && client.out.front().due <= now) {
        Outgoing& o = client.out.front();
        while (o.sent < o.bytes.size()) {
            const ssize_t n =
                ::send(client.fd, o.bytes.data() + o.sent, o.bytes.size() - o.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    return; // the socket is full; the loop waits until it takes more
                closeClient(client);
                return;
            }
            o.sent += static_cast<size_t>(n);
        }
        const bool closeAfter = o.closeAfter;
        client.out.pop_front();
        if (closeAfter) {
            closeClient(client);
            return;
        }
    }
    if (client.closing && client.out.empty())
        closeClient(client);
}

void ZnSimServer::closeClient(Client& client)
{
    if (client.fd >= 0)
        ::close(client.fd);
    client.fd = -1;
    client.out.clear();
}
