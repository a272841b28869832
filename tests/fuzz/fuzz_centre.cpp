// Everything the server sends, through the centre as the receive thread hands it
// on, with the models listening as in the console. The first byte picks either a
// whole message (answers, POST, SET and DELETE pushes offered to the 19 managers in
// slot order) or an answer to the request type the next two bytes name, read by the
// login handle and every manager. Whatever the bytes, the server time stays
// something to show and the talk-log host is the part before any ':'.
#include "FuzzCheck.h"
#include "ServiceHub.h"
#include "ZnManageCenter.h"
#include "ZnServerConfigManage.h"
#include "ZnServerConfigMgr.h"

#include <QCoreApplication>

namespace {
class Centre : public ZnManageCenter
{
public:
    using ZnManageCenter::onAnswer;
    using ZnManageCenter::onMessage;
};

void onConflict(int, const char* body)
{
    FUZZ_CHECK(body != nullptr);
}

// Made once: the models register with the one hub for the life of the process.
struct Console
{
    int argc = 1;
    char name[8] = "fuzz";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    Centre centre;
    ZnServerConfigMgr* config = nullptr;
    Console()
    {
        ServiceHub::create(&centre);
        config = ZnServerConfigMgr::instance();
        centre.setConflictCallback(onConflict);
    }
};
} // namespace

FUZZ_TARGET(input)
{
    static Console* console = new Console;
    if (input.size() < 3)
        return;
    const uint8_t pick = uint8_t(input[0]);
    if (pick % 2 == 0) {
        console->centre.onMessage(std::string_view(input).substr(1));
        return;
    }
    const int type = (uint8_t(input[1]) | (uint8_t(input[2]) % 2) << 8) % 320;
    const bool ok = (pick & 2) != 0;
    console->centre.onAnswer(type, 1, ok, input.substr(3));
    FUZZ_CHECK(!console->centre.systemTime().empty());
    FUZZ_CHECK(console->config->logHost().find(':') == std::string::npos);
}
