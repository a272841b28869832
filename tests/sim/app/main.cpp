// The simulated management server as a program, with the sample data set, for
// running the console without a real server.
#include "ZnSimFileService.h"
#include "ZnSimServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {
volatile std::sig_atomic_t gStop = 0;

void onSignal(int)
{
    gStop = 1;
}

void usage()
{
    std::printf(
        "usage: zn_simulator [--port N] [--host A.B.C.D] [--user NAME:PASSWORD]... [--push-changes]\n"
        "                    [--rows N] [--rows-per-family N] [--split BYTES] [--log-requests]\n"
        "                    [--file-port N] [--media-root DIR] [--withhold LABEL]...\n"
        "                    [--alarm-every S] [--log-host ADDR:PORT]\n"
        "  --port N          port to listen on (default 8999; 0 picks a free one)\n"
        "  --host ADDR       IPv4 address to listen on (default 127.0.0.1)\n"
        "  --user N:P        add a login (the sample set has admin:admin and operator:op1234)\n"
        "  --push-changes    push every accepted change back as \"POST SqlConfig_<table>\"\n"
        "  --rows N          add N more IP amplifiers to the sample set\n"
        "  --rows-per-family N  add N more terminals to every terminal family\n"
        "  --split BYTES     write everything in pieces of BYTES bytes\n"
        "  --log-requests    print \"request <label>\" for every request received\n"
        "  --file-port N     port of the simulated file service (default 8906; 0 picks a free one, -1 none)\n"
        "  --media-root DIR  folder the file service serves (default: a temporary one with samples)\n"
        "  --alarm-every S   every S seconds trigger or clear channels 1 and 3 of fire alarm 30003\n"
        "  --withhold LABEL  never answer requests whose label begins with LABEL (LOGIN: a silent server)\n"
        "  --log-host A:P    name the talk-log database at A:P (parameter Talk_Log_Server; default 127.0.0.1:0,\n"
        "                    none: the console asks the server for the logs)\n");
}
}

int main(int argc, char* argv[])
{
    int port = 8999;
    std::string host = "127.0.0.1";
    bool logRequests = false;
    int alarmEvery = 0;
    int filePort = 8906;
    std::string mediaRoot;
    ZnSimServer server;
    server.withData([](ZnSimData& d) { d.loadDemo(); });
    ZnSimFileService files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--port" && hasValue) {
            port = std::atoi(argv[++i]);
        } else if (arg == "--host" && hasValue) {
            host = argv[++i];
        } else if (arg == "--user" && hasValue) {
            const std::string v = argv[++i];
            const size_t colon = v.find(':');
            if (colon == std::string::npos) {
                usage();
                return 2;
            }
            server.addUser(v.substr(0, colon), v.substr(colon + 1));
        } else if (arg == "--push-changes") {
            server.setPushChanges(true);
        } else if (arg == "--rows" && hasValue) {
            const int rows = std::atoi(argv[++i]);
            server.withData([rows](ZnSimData& d) { d.addTerminals("ipamp", 11001, rows); });
        } else if (arg == "--rows-per-family" && hasValue) {
            const int rows = std::atoi(argv[++i]);
            server.withData([rows](ZnSimData& d) { d.addRowsPerFamily(20001, rows); });
        } else if (arg == "--log-requests") {
            logRequests = true;
        } else if (arg == "--file-port" && hasValue) {
            filePort = std::atoi(argv[++i]);
        } else if (arg == "--media-root" && hasValue) {
            mediaRoot = argv[++i];
        } else if (arg == "--split" && hasValue) {
            server.setSplit(std::atoi(argv[++i]));
        } else if (arg == "--alarm-every" && hasValue) {
            alarmEvery = std::atoi(argv[++i]);
        } else if (arg == "--log-host" && hasValue) {
            const std::string logHost = argv[++i];
            server.withData([&logHost](ZnSimData& d) { d.setParameter("Talk_Log_Server", logHost); });
        } else if (arg == "--withhold" && hasValue) {
            server.addRule(ZnSimRule::make(argv[++i], ZnSimRule::Withhold));
        } else {
            usage();
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }
    if (!server.start(port, host)) {
        std::fprintf(stderr, "zn_simulator: cannot listen on %s:%d: %s\n", host.c_str(), port, std::strerror(errno));
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("zn_simulator listening on %s:%d\n", host.c_str(), server.port());
    if (filePort >= 0) {
        if (files.start(filePort, host, mediaRoot)) {
            server.withData([&](ZnSimData& d) {
                if (mediaRoot.empty())
                    files.addRecordings(d.recordingPaths());
                // Backups are served, and restores read, through the file service.
                d.backupFolder = files.backupFolder();
                d.recoveryFolder = files.recoveryFolder();
            });
            std::printf("zn_simulator file service on %s:%d serving %s\n", host.c_str(), files.port(),
                        files.folder().c_str());
        } else {
            std::fprintf(stderr, "zn_simulator: no file service on %s:%d: %s\n", host.c_str(), filePort,
                         std::strerror(errno));
        }
    }
    std::fflush(stdout);
    size_t logged = 0;
    for (int tick = 1; !gStop; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        // Channels 1 and 3 of the demo's fire-alarm interface go off and clear in turn.
        if (alarmEvery > 0 && tick % (alarmEvery * 10) == 0)
            server.pushAlarmTrigger(30003, (tick / (alarmEvery * 10)) % 2 ? 0 : 5);
        if (!logRequests)
            continue;
        const std::vector<ZnSimRequest> requests = server.requests();
        for (; logged < requests.size(); ++logged)
            std::printf("request %s\n", requests[logged].label().c_str());
        std::fflush(stdout);
    }
    files.stop();
    server.stop();
    return 0;
}
