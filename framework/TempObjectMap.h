// Temporary wrapper objects of one thread (internal to framework/): the
// objects FromHandle makes for handles that no permanent object owns. They are
// deleted at idle time and when a framework thread ends.
//
// Each thread holds only a plain pointer to its map, created on first use and
// deleted by Delete: thread_local objects with destructors corrupt the heap
// when a thread of a static MinGW program ends, so none is used here.
#pragma once

#include <unordered_map>

template <typename Handle, typename Object, Handle Object::*HandleMember>
class CTempObjectMap
{
public:
    // The temporary object of the handle, or null when there is none yet.
    static Object* Find(CTempObjectMap* pMap, Handle h)
    {
        if (pMap == nullptr)
            return nullptr;
        auto it = pMap->m_map.find(h);
        return it == pMap->m_map.end() ? nullptr : it->second;
    }

    // Records a new temporary object in the thread's map (created on first use).
    static void Add(CTempObjectMap*& pMap, Handle h, Object* pObject)
    {
        if (pMap == nullptr)
            pMap = new CTempObjectMap;
        pMap->m_map.emplace(h, pObject);
    }

    // Deletes the thread's map and its objects; their handles are detached
    // first, so no object destroys a window or menu it does not own.
    static void Delete(CTempObjectMap*& pMap)
    {
        CTempObjectMap* pOld = pMap;
        pMap = nullptr;
        if (pOld == nullptr)
            return;
        for (auto& entry : pOld->m_map) {
            entry.second->*HandleMember = nullptr;
            delete entry.second;
        }
        delete pOld;
    }

private:
    std::unordered_map<Handle, Object*> m_map;
};
