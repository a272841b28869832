#pragma once

#include "ZnBaseMgr.h"
#include "ZnPlayTask.h"
#include "ZnTaskListHolder.h"

#include <list>
#include <memory>
#include <string>

class TiXmlNode;

// Base of the play-task and plan-task managers, which read the server's task XML
// into a task list and a current task. The task element name is also the
// manager's name for pushes and deletions.
class ZnTaskBaseManage : public ZnBaseMgr
{
public:
    typedef void (*TaskListCallback)(std::list<ZnPlayTask>* tasks);
    typedef void (*TaskCallback)(ZnPlayTask* task);
    typedef void (*IdCallback)(int id);
    typedef void (*DoneCallback)(bool ok);

    ZnTaskBaseManage();

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;

    virtual void notifyFailure(int code);
    // Hands the outcome of a request to the callback its code selects; false when
    // ok is false.
    virtual bool notify(int code, bool ok);
    virtual bool isSingleReply(const std::string& xml) const;
    virtual bool isListReply(const std::string& xml) const;
    virtual bool isDeleteReply(const std::string& xml) const;
    virtual bool ownsType(int requestType) const = 0;

    // 0 when the list element was found (the list is then replaced), else -1.
    int parseTaskList(const std::string& xml);
    // 0 when the task element was found (the current task then holds the last one).
    int parseSingleTask(const std::string& xml);
    // Fills task from one task element; -1 when the node is no element or lacks
    // "exec", "files" or "terminals" (task then keeps what was read before).
    int parseTask(const TiXmlNode* node, ZnPlayTask& task) const;

    // A copy of the listed task with that id, or null.
    std::unique_ptr<ZnPlayTask> findTask(int id) const;
    // The holder's tasks with its lock held (the caller unlocks holder.mutex);
    // null, with nothing locked, while it keeps none.
    static std::list<ZnPlayTask>* lockTaskList(ZnTaskListHolder& holder);

    const std::list<ZnPlayTask>& taskList() const { return m_tasks; }
    const ZnPlayTask& currentTask() const { return m_current; }
    const std::string& listElement() const { return m_listElement; }
    const std::string& taskElement() const { return m_taskElement; }

    // Slots 1 to 8: 1 list answer, 2 a list (no request reaches it), 3 and 4 single
    // answers, 5 a deletion, 6 and 7 done, 8 a pushed or answered task.
    void setListCallback(TaskListCallback cb) { m_onList = cb; }
    void setOtherListCallback(TaskListCallback cb) { m_onOtherList = cb; }
    void setTaskCallbacks(TaskCallback third, TaskCallback fourth, TaskCallback eighth);
    void setDeleteIdCallback(IdCallback cb) { m_onDeleteId = cb; }
    void setDoneCallbacks(DoneCallback sixth, DoneCallback seventh);

protected:
    void setElementNames(const std::string& list, const std::string& task);
    // The request type minus the first owned type.
    virtual int firstType() const = 0;
    bool replyIs(const std::string& xml, int replyType) const;
    virtual int listReplyType() const;
    virtual int singleReplyType() const;
    virtual int deleteReplyType() const;

    ZnPlayTask m_spare;
    ZnPlayTask m_current;
    bool m_currentHasId = false; // the last single task read carried a usable "id"
    TaskListCallback m_onList = nullptr;
    TaskListCallback m_onOtherList = nullptr;
    TaskCallback m_onThird = nullptr;
    TaskCallback m_onFourth = nullptr;
    IdCallback m_onDeleteId = nullptr;
    DoneCallback m_onSixth = nullptr;
    DoneCallback m_onSeventh = nullptr;
    TaskCallback m_onEighth = nullptr;
    std::list<ZnPlayTask> m_tasks;
    std::string m_listElement;
    std::string m_taskElement;
};
