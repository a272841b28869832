#include "ZnTaskBaseManage.h"

#include "ZnIdRows.h"
#include "ZnMsgCheck.h"
#include "ZnRow.h"
#include "ZnXmlText.h"

#include <tinyxml.h>

using ZnXmlText::has;
using ZnXmlText::toInt;
using ZnXmlText::toInt64;

namespace {

void readTaskAttributes(const TiXmlElement* e, ZnPlayTask& t)
{
    t.id = toInt(e, "id", t.id);
    t.enabled = static_cast<uint8_t>(toInt(e, "en", t.enabled));
    t.executing = static_cast<uint8_t>(toInt(e, "exe", t.executing));
    if (has(e, "name"))
        t.setName(ZnXmlText::text(e, "name"));
    t.mode = static_cast<uint8_t>(toInt(e, "mode", t.mode));
    t.duration = toInt64(e, "dur", t.duration);
    t.power = toInt64(e, "power", t.power);
    t.user = toInt(e, "user", t.user);
    t.level = toInt(e, "lv", t.level);
    t.beginTime = toInt64(e, "btime", t.beginTime);
    t.rule = static_cast<uint8_t>(toInt(e, "rule", t.rule));
    t.beginDate = toInt64(e, "bdate", t.beginDate);
    t.endDate = toInt64(e, "edate", t.endDate);
    t.week = static_cast<uint8_t>(toInt(e, "week", t.week));
    t.type = toInt(e, "type", t.type);
    t.sourceType = static_cast<uint8_t>(toInt(e, "src_type", t.sourceType));
    t.fileSource = toInt(e, "fsrc", t.fileSource);
    t.em = static_cast<uint8_t>(toInt(e, "em", t.em));
    t.ev = static_cast<uint8_t>(toInt(e, "ev", t.ev));
    t.emm = static_cast<uint8_t>(toInt(e, "emm", t.emm));
    t.emv = static_cast<uint8_t>(toInt(e, "emv", t.emv));
    t.elm = static_cast<uint8_t>(toInt(e, "elm", t.elm));
    t.elv = static_cast<uint8_t>(toInt(e, "elv", t.elv));
    t.ei = toInt(e, "ei", t.ei);
    t.channel = toInt(e, "echannel", t.channel);
    t.schemeId = toInt(e, "SchemeID", t.schemeId);
    t.manager = static_cast<uint16_t>(toInt(e, "mgr", t.manager));
    t.userCode = toInt(e, "user_code", 0);
}

} // namespace

ZnTaskBaseManage::ZnTaskBaseManage()
{
    setElementNames("TaskList", "Task");
}

void ZnTaskBaseManage::setElementNames(const std::string& list, const std::string& task)
{
    m_listElement = list;
    m_taskElement = task;
    setName(task);
}

void ZnTaskBaseManage::setTaskCallbacks(TaskCallback third, TaskCallback fourth, TaskCallback eighth)
{
    m_onThird = third;
    m_onFourth = fourth;
    m_onEighth = eighth;
}

void ZnTaskBaseManage::setDoneCallbacks(DoneCallback sixth, DoneCallback seventh)
{
    m_onSixth = sixth;
    m_onSeventh = seventh;
}

int ZnTaskBaseManage::parseTask(const TiXmlNode* node, ZnPlayTask& task) const
{
    const TiXmlElement* e = node ? node->ToElement() : nullptr;
    if (!e)
        return -1;
    ZnPlayTask fresh;
    readTaskAttributes(e, fresh);
    task = fresh;

    const TiXmlElement* exec = e->FirstChildElement("exec");
    if (!exec)
        return -1;
    for (const TiXmlElement* x = exec->FirstChildElement("e"); x; x = x->NextSiblingElement()) {
        ZnExecTime time;
        time.seconds = toInt64(x, "i", time.seconds);
        time.setName(ZnXmlText::text(x, "n"));
        time.rule = static_cast<uint8_t>(toInt(x, "rule", time.rule));
        task.execTimes.push_back(time);
    }

    const TiXmlElement* files = e->FirstChildElement("files");
    if (!files)
        return -1;
    for (const TiXmlElement* f = files->FirstChildElement("f"); f; f = f->NextSiblingElement()) {
        FileInfo file;
        file.path = ZnXmlText::text(f, "n");
        const size_t slash = file.path.rfind('/');
        file.fileName = slash == std::string::npos ? file.path : file.path.substr(slash + 1);
        if (file.fileName.empty())
            continue;
        file.id = toInt(f, "i", file.id);
        file.rule = toInt64(f, "rule", file.rule);
        file.t = toInt(f, "t", file.t);
        task.files.push_back(file);
    }

    if (const TiXmlElement* tts = e->FirstChildElement("TtsInfo")) {
        task.ttsText = ZnXmlText::text(tts, "tts_text");
        task.ttsRole = toInt(tts, "role", task.ttsRole);
        task.ttsSpeed = toInt(tts, "speed", task.ttsSpeed);
        task.ttsVolume = toInt(tts, "vol", task.ttsVolume);
        task.ttsTone = toInt(tts, "tone", task.ttsTone);
    }

    const TiXmlElement* terminals = e->FirstChildElement("terminals");
    if (!terminals)
        return -1;
    task.volume = static_cast<uint16_t>(toInt(terminals, "vol", 65535));
    for (const TiXmlElement* t = terminals->FirstChildElement("t"); t; t = t->NextSiblingElement("t")) {
        const int32_t id = toInt(t, "i", 0);
        if (id != 0)
            task.terminalIds.push_back(id);
        if (has(t, "vol"))
            task.terminalVolumes.push_back(toInt(t, "vol", 0));
    }
    return 0;
}

int ZnTaskBaseManage::parseTaskList(const std::string& xml)
{
    TiXmlDocument doc;
    if (!ZnXmlText::parse(doc, xml))
        return -1;
    const TiXmlElement* list = ZnXmlText::topElement(doc, m_listElement.c_str());
    if (!list)
        return -1;
    m_tasks.clear();
    ZnIdRows bad(m_listElement.c_str(), "id");
    std::size_t index = 0;
    for (const TiXmlNode* n = list->FirstChild(); n; n = n->NextSibling()) {
        const TiXmlElement* e = n->ToElement();
        if (!e)
            continue;
        int id = 0;
        ZnPlayTask scratch;
        if (!ZnRow::id(e->Attribute("id"), id))
            bad.leftOut(index);
        else if (parseTask(n, scratch) != -1)
            m_tasks.push_back(scratch);
        ++index;
    }
    return 0;
}

int ZnTaskBaseManage::parseSingleTask(const std::string& xml)
{
    m_currentHasId = false;
    TiXmlDocument doc;
    if (!ZnXmlText::parse(doc, xml))
        return -1;
    const TiXmlElement* first = ZnXmlText::topElement(doc, m_taskElement.c_str());
    if (!first)
        return -1;
    for (const TiXmlNode* n = first; n; n = n->NextSibling()) {
        // Comments and text between tasks are no task; a failed element still
        // leaves what it read, as a single answer always has.
        if (!n->ToElement())
            continue;
        ZnPlayTask scratch;
        parseTask(n, scratch);
        m_current = scratch;
        int id = 0;
        m_currentHasId = ZnRow::id(n->ToElement()->Attribute("id"), id);
    }
    if (!m_currentHasId)
        ZnIdRows(m_taskElement.c_str(), "id").leftOut(0);
    return 0;
}

std::unique_ptr<ZnPlayTask> ZnTaskBaseManage::findTask(int id) const
{
    for (const ZnPlayTask& t : m_tasks) {
        if (t.id == id)
            return std::unique_ptr<ZnPlayTask>(new ZnPlayTask(t));
    }
    return nullptr;
}

std::list<ZnPlayTask>* ZnTaskBaseManage::lockTaskList(ZnTaskListHolder& holder)
{
    holder.mutex.lock();
    if (!holder.tasks) {
        holder.mutex.unlock();
        return nullptr;
    }
    return holder.tasks.get();
}

void ZnTaskBaseManage::onResponse(int requestType, const std::string& body)
{
    if (!ownsType(requestType))
        return;
    if (isListReply(body))
        parseTaskList(body);
    else if (isSingleReply(body))
        parseSingleTask(body);
    notify(requestType, true);
}

bool ZnTaskBaseManage::onPost(const std::string& key, const std::string& body)
{
    if (key != m_taskElement)
        return false;
    // A pushed task without a usable id names none the list holds: it would be
    // added as a task 0 the server never listed.
    if (parseSingleTask(body) == 0 && m_currentHasId && m_onEighth)
        m_onEighth(&m_current);
    return true;
}

bool ZnTaskBaseManage::onSet(const std::string&)
{
    return false;
}

void ZnTaskBaseManage::onDelete(const std::string& type, int id)
{
    if (type == m_taskElement && m_onDeleteId)
        m_onDeleteId(id);
}

void ZnTaskBaseManage::onDeleted(int) {}

void ZnTaskBaseManage::notifyFailure(int code)
{
    notify(code, false);
}

bool ZnTaskBaseManage::notify(int code, bool ok)
{
    if (!ok)
        return false;
    switch (code - firstType()) {
    case 0:
        if (m_onList)
            m_onList(&m_tasks);
        break;
    case 1:
        if (m_onFourth)
            m_onFourth(&m_current);
        break;
    case 2:
        if (m_onThird)
            m_onThird(&m_current);
        break;
    case 3:
        if (m_onSixth)
            m_onSixth(true);
        break;
    case 4:
        if (m_onSeventh)
            m_onSeventh(true);
        break;
    case 5:
        if (m_onEighth)
            m_onEighth(&m_current);
        break;
    default:
        break;
    }
    return true;
}

bool ZnTaskBaseManage::replyIs(const std::string& xml, int replyType) const
{
    return ZnMsgCheck().replyType(xml) == replyType;
}

int ZnTaskBaseManage::listReplyType() const
{
    return ZnMsgCheck::TaskList;
}

int ZnTaskBaseManage::singleReplyType() const
{
    return ZnMsgCheck::Task;
}

int ZnTaskBaseManage::deleteReplyType() const
{
    return ZnMsgCheck::DeletePlayTask;
}

bool ZnTaskBaseManage::isSingleReply(const std::string& xml) const
{
    return replyIs(xml, singleReplyType());
}

bool ZnTaskBaseManage::isListReply(const std::string& xml) const
{
    return replyIs(xml, listReplyType());
}

bool ZnTaskBaseManage::isDeleteReply(const std::string& xml) const
{
    return replyIs(xml, deleteReplyType());
}
