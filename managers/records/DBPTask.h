#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The play-task record as the server's task XML describes it. The fields without an
// XML attribute are only carried.
class DBPTask
{
public:
    DBPTask();
    DBPTask(const DBPTask&) = default;
    DBPTask& operator=(const DBPTask&) = default;
    virtual ~DBPTask() = default;

    // Keeps at most 31 bytes of the name, never half a character.
    void setName(const std::string& text);
    std::string nameText() const { return std::string(name); }

    int32_t id = 0;
    int32_t type = 1;
    char name[32];
    uint8_t mode = 0;
    int64_t duration = -1;
    int64_t power = 0;
    int32_t user = 0;
    int32_t level = 0;
    char text[255];
    std::string ttsText;
    int32_t ttsRole = 3;
    int32_t ttsSpeed = 5;
    int32_t ttsVolume = 5;
    int32_t ttsTone = 5;
    int32_t ttsSampleRate = 16000;
    uint8_t rule = 2;
    int64_t beginDate = -1;
    int64_t endDate = -1;
    uint8_t week = 0;
    // Owned byte buffers; held by value so that a copy never shares them.
    std::vector<uint8_t> firstBuffer;
    int32_t reservedA = 0;
    uint8_t sourceType = 0;
    int32_t reservedB = 0;
    uint8_t em = 0;
    uint8_t ev = 100;
    uint8_t emm = 0;
    uint8_t emv = 100;
    uint8_t elm = 0;
    uint8_t elv = 100;
    int32_t fileSource = 0;
    int32_t channel = 1;
    int32_t reservedC = 0;
    int32_t reservedD = 0;
    std::vector<uint8_t> secondBuffer;
    int32_t reservedE = 0;
    int32_t ei = 0;
    uint16_t manager = 0;
    int32_t userCode = 0;
};
