// The texts of requests as the managers build them.
#include "BookRequest.h"
#include "ZnD72Manage.h"
#include "ZnD74Manage.h"
#include "ZnD82Manage.h"
#include "ZnLogManage.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicGroup.h"
#include "ZnMicGroupManage.h"
#include "ZnMicManage.h"
#include "ZnServerConfigManage.h"
#include "ZnServerConfigRequest.h"
#include "ZnTerminal.h"
#include "ZnTerminalManage.h"

#include <QtTest>

namespace {
std::string bodyOf(const std::string& request)
{
    const size_t sep = request.find("\r\n\r\n");
    return sep == std::string::npos ? std::string() : request.substr(sep + 4);
}

} // namespace

class TstRequestTexts : public QObject
{
    Q_OBJECT

private slots:
    // "=text" the whole of it, "+text" a part of it, "-text" a part it must not hold,
    // "" nothing built at all.
    void texts_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("want");
        const auto row = [](const char* name, const std::string& built, const std::string& want) {
            QTest::newRow(name) << QByteArray::fromStdString(built) << QByteArray::fromStdString(want);
        };
        std::string out;
        ZnTerminalManage term;
        ZnTerminal t;
        t.id = 12;
        row("remove", term.removeDevice(out, 4, 5, "6"),
            "=POST DBP/1.0\r\nCSeq: 4\r\nPacket-Type:RemoveDevice\r\nContent-Length:22\r\n\r\n"
            "{\"Id\":\"5\",\"Type\":\"6\"}\n");
        // A fresh record sends "not set" for every threshold; Command precedes CSeq.
        row("config fresh", term.buildPlayTermConfig(out, 3, t),
            "=SET DBP/1.0\r\nCommand: PlayTermConfig\r\nCSeq: 3\r\nId: 12\r\nType: IP\r\n"
            "WarnTempThreshold: -1\r\nFanTempThreshold: -1\r\nMaxVol: -1\r\n\r\n");
        row("terminal", term.buildTerminal(out, 3, t), "+Packet-Type:Terminal\r\nContent-Length:0\r\n\r\n");

        ZnMic mic;
        mic.id = 7;
        mic.name = "Gate";
        mic.pttMode = 0;
        ZnMicManage dsk81;
        row("mic ptt 0", bodyOf(dsk81.buildModifyMic(out, 1, mic)), "+\"PttMode\":\"0\"");
        row("mic one", dsk81.buildMicTerminal(out, 12, 5), "=GET DBP/1.0\r\nCSeq: 12\r\nData: Mic\r\nId: 5\r\n\r\n");
        ZnD74Manage d74;
        row("d74 op 0", d74.buildModifyD74(out, 1, mic, 0), "+Packet-Type:ModTalkTerminal");
        row("d74 op 2", bodyOf(d74.buildModifyD74(out, 1, mic, 2)),
            "={\"BroVol\":\"80\",\"Id\":\"7\",\"Name\":\"Gate\"}\n");
        row("d74 op 1", bodyOf(d74.buildModifyD74(out, 1, mic, 1)),
            "={\"DisplayTime\":\"5\",\"Id\":\"7\",\"LedColor\":\"224\",\"LedTxt\":\"\",\"SwitchMode\":\"1\"}\n");
        row("d74 types",
            std::to_string(ZnD74Manage::modifyType(0)) + std::to_string(ZnD74Manage::modifyType(1))
                + std::to_string(ZnD74Manage::modifyType(2)),
            "=241244241");
        ZnD72Manage d72;
        row("d72 no calls", d72.buildSetD72ButtonCall(out, 1, std::vector<ZnMicBtnCall>()), "");
        row("d72 calls", bodyOf(d72.buildD72ButtonCalls(out, 1, 50001)),
            "=select * from d72buttoncall where terminalId = 50001");

        ZnBookRequest req;
        req.terminalId = 80001;
        ZnD82Manage d82;
        req.type = 284;
        row("d82 set 284", bodyOf(d82.buildSetD82Books(out, 1, req)),
            "={\"Action\":\"Mod\",\"Contacts\":\"\",\"Id\":\"80001\"}\n");
        req.type = 285;
        row("d82 285", d82.buildD82Books(out, 1, req), "+Packet-Subtype: FixSsTaskList\r\n");
        row("d82 285 body", bodyOf(out), "=select * from d82soundsource where terminalId = 80001");
        req.type = 281;
        row("d82 281", d82.buildD82Books(out, 1, req), "");
        row("d82 set 281", d82.buildSetD82Books(out, 1, req), "");
        req.type = 267;
        row("mic 267", bodyOf(dsk81.buildMicBooks(out, 1, req)), "+terminalId");
        row("mic 267 all", bodyOf(out), "-80001");
        req.type = 268;
        row("mic 268", dsk81.buildMicBooks(out, 1, req), "");

        ZnMicGroup group;
        group.groupId = 2;
        group.members = {12, 15, 7};
        ZnMicGroupManage groups;
        const std::string g = bodyOf(groups.buildSaveGroup(out, 1, group, ZnMicGroupManage::OpAdd));
        row("group action", g, "+\"Action\":\"Add\"");
        row("group members in order", g, "+\"Dsk81Id\":\"12 15 7\"");
        row("group ring time", g, "+\"RingTime\":\"60\"");

        row("user log", ZnLogManage::logStatement(1, 200), "=select * from userlog order by id DESC limit 200, 100 ");
        row("unknown log kind", ZnLogManage::logStatement(9, 0), "=" + ZnLogManage::logStatement(1, 0));
        ZnServerConfigManage config;
        ZnServerConfigRequest cfg;
        cfg.type = 174;
        row("config 174", config.buildRequest(out, 1, cfg), "");
        row("parameter 173", config.buildParameterRequest(out, 1, "", 173), "");
    }
    void texts()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, want);
        const QByteArray text = want.mid(1);
        const bool ok = want.isEmpty()      ? built.isEmpty()
                        : want.at(0) == '=' ? built == text
                        : want.at(0) == '+' ? built.contains(text)
                                            : !built.contains(text);
        QVERIFY2(ok, built.constData());
    }
};

QTEST_GUILESS_MAIN(TstRequestTexts)
#include "tst_requesttexts.moc"
