#pragma once

#include "ZnNotifyManage.h"

#include <list>

class ZnTts;

// Text-to-speech units (TTS71). Recognises its request types 254 to 260 itself.
class ZnTtsManage : public ZnNotifyManage
{
public:
    enum { ListType = 254, ModifyType = 257, DeletedType = 258 };
    static constexpr const char* kPostKey = "SqlConfig_tts71";
    static constexpr const char* kDeleteType = "Tts";

    ZnTtsManage();

    std::string& buildTtsList(std::string& out, int cseq);
    std::string& buildModifyTts(std::string& out, int cseq, const ZnTts& tts);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;

    // Rows of a "tts71" reply, kept in row order; false when the body is no JSON.
    static bool parseRows(const std::string& body, std::list<ZnTts>& out);
};
