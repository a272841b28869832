#pragma once

class ZnLockedList;
class ZnManageCenter;

// Holds the centre handle for the list models; created once at start-up.
class ServiceHub
{
public:
    // Creates the hub on the first call and registers the capture-unit, level and
    // scheme lists' callbacks with the centre; later calls do nothing.
    static ServiceHub* create(ZnManageCenter* centre);
    static ServiceHub* instance();

    ZnManageCenter* centre() const { return m_centre; }
    ZnLockedList* capList() const { return m_capList; }
    ZnLockedList* levelList() const { return m_levelList; }
    void setCapList(ZnLockedList* list) { m_capList = list; }
    void setLevelList(ZnLockedList* list) { m_levelList = list; }

    // Has the capture-unit list ask for its list (request 75), with that list's
    // own busy retries; the last result code, -1 without a centre.
    int requestCapList();

private:
    explicit ServiceHub(ZnManageCenter* centre);
    // The capture-unit holder gets its view and its callbacks.
    void attachCapList();

    ZnManageCenter* m_centre;
    ZnLockedList* m_capList = nullptr;
    ZnLockedList* m_levelList = nullptr;
};

// The object when the service hub exists, else null.
template <class T>
T* ifHubExists(T* object)
{
    return ServiceHub::instance() ? object : nullptr;
}
