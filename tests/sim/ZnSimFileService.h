#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A simulated file service: answers the console's JSON commands (one TCP
// connection per command) from a media folder on disk. Server paths are
// kServerRoot and below; whatever names it is sent, it never reads or writes
// outside its folder. Each connection runs on a thread of its own.
class ZnSimFileService
{
public:
    static constexpr const char* kServerRoot = "/data/mp3";
    // The server's database backup and recovery folders, served from folders of
    // their own outside the media library.
    static constexpr const char* kBackupRoot = "/tmp/databackup";
    static constexpr const char* kRecoveryRoot = "/tmp/datarecovery";

    // What the service does wrong on purpose; all off by default.
    struct Faults
    {
        int split = 0;               // write in pieces of this many bytes
        bool refusePost = false;     // answer PostFile with "Result":"Fail"
        bool refuseAll = false;      // so every command but the root and listings
        bool silentPost = false;     // take the file, then close without answering
        int64_t cutGetFileAt = -1;   // send only this many file bytes, then close
        bool stallAtCut = false;     // instead of closing there, fall silent until the client gives up
        std::string fileLenText;     // when set, sent as "FileLen" instead of the size
        bool hostileListing = false; // listings also name entries no client may use
        // Requests of this command (a PostFile after its bytes) get answerText as
        // their whole reply, terminator included; an empty text leaves them unanswered.
        std::string answerCommand;
        std::string answerText;
        // Take only this many bytes of an upload, answer it as taken (or with
        // answerText) and close the sending side, reading on until the client goes.
        int64_t takePostBytes = -1;
        bool keepTakenOpen = false; // there, leave the connection open and read on
    };

    ZnSimFileService();
    ~ZnSimFileService();
    ZnSimFileService(const ZnSimFileService&) = delete;
    ZnSimFileService& operator=(const ZnSimFileService&) = delete;

    // Serves folder (created when missing); an empty folder means a temporary one
    // with the sample library, removed by stop(). Port 0 picks a free one.
    bool start(int port = 8906, const std::string& host = "127.0.0.1", const std::string& folder = std::string());
    void stop();
    int port() const { return m_port; }
    // The folder on disk that kServerRoot stands for.
    std::string folder() const { return m_folder; }
    std::string backupFolder() const { return m_systemFolder + "/databackup"; }
    std::string recoveryFolder() const { return m_systemFolder + "/datarecovery"; }

    void setFaults(const Faults& faults);
    // Request texts received, terminator removed, in arrival order.
    std::vector<std::string> requests() const;
    void clearRequests();

    // Sample folders and audio files of the demo and the tests.
    static void addSamples(const std::string& folder);
    // A recording under each of the server paths below kServerRoot, the first one
    // large enough to watch its download.
    void addRecordings(const std::vector<std::string>& serverPaths) const;

private:
    void acceptLoop();
    void serve(int fd);
    std::string handle(int fd, const std::string& request, std::string& rest, const Faults& faults, bool& answered);
    Faults faults() const;

    mutable std::mutex m_mutex;
    Faults m_faults;
    std::vector<std::string> m_requests;
    std::vector<std::thread> m_workers;
    std::string m_folder;
    std::string m_systemFolder;
    bool m_ownsFolder = false;
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
