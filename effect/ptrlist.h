// PtrList and PtrMgr: the framework's growable arrays of object pointers.
// PtrList borrows its entries; PtrMgr owns them and deletes them on clear and
// destruction. Growth by growBy entries (32 in every list of the effect).
// Not thread-safe: lists are built at construction and only read afterwards.
#pragma once

#include <cstring>

namespace Zorv {

constexpr int kListGrowBy = 32;

template <typename T>
class PtrList {
public:
    explicit PtrList(int growBy = kListGrowBy) : growBy(growBy > 0 ? growBy : kListGrowBy) {}
    PtrList(const PtrList&) = delete;
    PtrList& operator=(const PtrList&) = delete;
    virtual ~PtrList() { delete[] items; }

    // Appends p, growing the array by growBy entries when full.
    virtual void add(T* p)
    {
        if (count == capacity)
            reallocate(count + growBy);
        items[count++] = p;
    }
    virtual void clear() { count = 0; }                   // forgets the entries
    virtual T* get(int i) const { return items[i]; }       // no range check
    virtual int getCount() const { return count; }
    virtual void setCount(int n)                           // new entries are not initialised
    {
        if (n < 0)
            return;
        if (n > capacity)
            reallocate(n);
        count = n;
    }
    virtual void setCount(int n, T* fill)                  // every entry = fill
    {
        setCount(n);
        for (int i = 0; i < count; ++i)
            items[i] = fill;
    }
    virtual void set(int i, T* p) { items[i] = p; }
    virtual bool isEmpty() const { return count == 0; }
    virtual void copyFrom(const PtrList& other)            // same pointers, same count
    {
        if (&other == this)
            return;
        if (other.count > capacity)
            reallocate(other.count);
        if (other.count > 0)
            memcpy(items, other.items, sizeof(T*) * size_t(other.count));
        count = other.count;
    }

    int getCapacity() const { return capacity; }

    // First non-null entry whose name matches (first 35 characters, case-sensitive).
    T* find(const char* name) const
    {
        for (int i = 0; i < count; ++i)
            if (items[i] && items[i]->isNamed(name))
                return items[i];
        return nullptr;
    }

protected:
    T** items = nullptr;
    int capacity = 0;
    int count = 0;
    int growBy;

private:
    void reallocate(int newCapacity)
    {
        T** grown = new T*[size_t(newCapacity)];
        if (count > 0)
            memcpy(grown, items, sizeof(T*) * size_t(count));
        delete[] items;
        items = grown;
        capacity = newCapacity;
    }
};

template <typename T>
class PtrMgr : public PtrList<T> {
public:
    using PtrList<T>::PtrList;
    ~PtrMgr() override { clear(); }

    // Deletes every non-null entry, then forgets them.
    void clear() override
    {
        for (int i = 0; i < this->count; ++i)
            delete this->items[i];
        this->count = 0;
    }
};

}  // namespace Zorv
