#pragma once
// Keyed host data on geometry. A CExData handle shares a small
// reference-counted store (CExDataProvider) that maps key names, through
// the providers bound to them in one process-wide registry
// (CDispatchExDataProvider), to opaque pointer-sized values. A key's
// provider (IGeometryExDataProvider) says what a value becomes when its
// geometry is divided by a plane or merged, and how it is freed.
//
// Keys: a null or empty key name throws the text "incorret key" (a
// const char*) from every operation that resolves a key; an allocation that
// yields nothing throws "not enough memory".
//
// Lifetimes: the registry is created on first use and never destroyed, so
// its providers outlive every store, including stores held by static
// handles destroyed at process exit. A store frees each of its values
// through its provider when the last handle sharing it goes.
//
// Nothing here locks: handles, stores and the registry are used from one
// thread at a time.

#include <map>
#include <memory>
#include <string>

#include "tessaly/export.h"

class G3Surface;

// How the values of one key behave.
class TESSALY_API IGeometryExDataProvider {
public:
    virtual ~IGeometryExDataProvider();
    // Releases a value a store holds for this provider's key. A provider
    // whose GetIdByPlaneDivide returns some values unchanged while others
    // change must accept one Free of such a value per store holding it (the
    // piece's new store keeps the unchanged value as well).
    virtual void Free(void* id) = 0;
    // The value a piece carries after geometry of surface with value id was
    // divided by plane (four coefficients); null: the piece carries none.
    virtual void* GetIdByPlaneDivide(void* id, const G3Surface* surface, const double* plane) = 0;
    // The value of a facet merged from facets with values a and b.
    virtual void* GetIdByMergeFacets(void* a, void* b) = 0;
};

// Values as plain identifiers: nothing to free, kept on division, kept on a
// merge of equal values. The provider of every key registered without one.
class TESSALY_API CStandardExDataProvider : public IGeometryExDataProvider {
public:
    ~CStandardExDataProvider() override;

protected:
    void Free(void* id) override;
    void* GetIdByPlaneDivide(void* id, const G3Surface* surface, const double* plane) override;
    void* GetIdByMergeFacets(void* a, void* b) override;
};

// The registry of key names and their providers (owned).
class TESSALY_API CDispatchExDataProvider {
public:
    using ProviderHolder = std::unique_ptr<IGeometryExDataProvider>;

    CDispatchExDataProvider();
    virtual ~CDispatchExDataProvider();
    CDispatchExDataProvider(const CDispatchExDataProvider&) = delete;
    CDispatchExDataProvider& operator=(const CDispatchExDataProvider&) = delete;

    // Binds key to provider (a new standard provider for null) unless the
    // key is bound already; returns the bound provider. The registry takes
    // the provider in every case: one that is not bound is deleted.
    virtual IGeometryExDataProvider* RegisterKey(const char* key, IGeometryExDataProvider* provider);
    virtual IGeometryExDataProvider* AdoptKeyProvider(const char* key, ProviderHolder provider);
    // The key's provider; an unknown key is bound to a new standard one.
    virtual IGeometryExDataProvider* GetKeyProvider(const char* key);

    // The one registry, created on first use with the keys
    // "VX9Q_ROOF_SECT_ID", "VX9Q_ROOF_PLANE_INDEX" and
    // "VX9Q_G3FACE_MATERIAL_INDEX" bound to standard providers.
    static CDispatchExDataProvider& GetDispatchProvider();

private:
    std::unique_ptr<std::map<std::string, ProviderHolder>> m_Providers;
};

// The store behind one or more CExData handles: at most one value per
// provider, ordered by the provider's address.
class TESSALY_API CExDataProvider {
public:
    using Values = std::map<IGeometryExDataProvider*, void*>;

    CExDataProvider();
    CExDataProvider(const CExDataProvider&) = delete;
    CExDataProvider& operator=(const CExDataProvider&) = delete;

    // One more holder; returns the new count.
    virtual int AddRef();
    // One holder less: below 2 the store is destroyed (its values freed)
    // and 0 returned; otherwise the new count.
    virtual int Release();

    int GetRefCount() const { return m_RefCount; }
    const Values& GetValues() const { return *m_Values; }
    // The value of provider p, or null.
    void* GetValue(IGeometryExDataProvider* p) const;
    // Replaces the value of p (the earlier one is not freed).
    void SetValue(IGeometryExDataProvider* p, void* value);
    // Takes p's entry out without freeing its value.
    void RemoveValue(IGeometryExDataProvider* p);

protected:
    // Hands every value to its provider's Free, in the store's order.
    virtual ~CExDataProvider();

private:
    std::unique_ptr<Values> m_Values;
    int m_RefCount = 0;
};

// A pointer that holds one reference of a reference-counted object.
template <class T> class CWrapUnknown {
public:
    CWrapUnknown() = default;
    CWrapUnknown(const T* p) { *this = p; }
    CWrapUnknown(const CWrapUnknown& other) { *this = other; }
    ~CWrapUnknown() { *this = nullptr; }

    // The new object gains its reference before the old one loses its own,
    // so re-assigning an object reachable only through the old one is safe.
    CWrapUnknown& operator=(const T* p)
    {
        T* next = const_cast<T*>(p);
        if (next == m_Ptr)
            return *this;
        T* old = m_Ptr;
        m_Ptr = next;
        if (next)
            next->AddRef();
        if (old)
            old->Release();
        return *this;
    }
    CWrapUnknown& operator=(const CWrapUnknown& other) { return *this = other.m_Ptr; }

    operator T*() const { return m_Ptr; }
    explicit operator bool() const { return m_Ptr != nullptr; }
    bool operator!() const { return m_Ptr == nullptr; }
    T* operator->() const { return m_Ptr; }
    bool IsNull() const { return m_Ptr == nullptr; }

private:
    T** operator&() = delete;
    T* m_Ptr = nullptr;
};

// A handle on a keyed store. Copies share one store (no copy on write); an
// empty handle has none until the first Add of a non-null value.
class TESSALY_API CExData : public CWrapUnknown<CExDataProvider> {
public:
    CExData() = default;
    CExData(const CExData& other);
    virtual ~CExData();
    CExData& operator=(const CExData& other);
    CExData& operator=(const CExDataProvider* store);

    // Binds value to key's provider in the store (made when missing),
    // replacing an earlier value without freeing it. A null value changes
    // nothing and resolves no key.
    virtual CExData& Add(const char* key, void* value);
    // Lets go of this handle's reference to the store (the handle becomes
    // empty; other handles keep the store).
    virtual CExData& RemoveAll();
    // Takes key's entry out of the store without freeing the value.
    virtual CExData& Remove(const char* key);
    // key's value; null without a store or an entry.
    virtual void* GetData(const char* key);
    // out gets the data of one piece after division by plane: this store
    // when no value changes, else a new store of every non-null new value.
    // out may be this handle.
    virtual void NewIdsByPlaneDivide(CExData& out, const G3Surface* surface, const double* plane);
    // This handle shares the store of a and b when they have the same store
    // or only one has one; false (this handle empty) for two different
    // stores. a or b may be this handle.
    virtual bool MergeIds(const CExData& a, const CExData& b);
};
