// The registry of key names. It is created on first use and deliberately
// never destroyed: stores held by static handles may be destroyed at
// process exit after any static registry would be, and they still hand
// their values to the registry's providers then.
#include <new>

#include "tessaly/exdata.h"

namespace {
const char* const kIncorrectKey = "incorret key";
const char* const kNotEnoughMemory = "not enough memory";

void CheckKey(const char* key)
{
    if (!key || !*key)
        throw kIncorrectKey;
}

CDispatchExDataProvider::ProviderHolder NewStandardProvider()
{
    CDispatchExDataProvider::ProviderHolder holder(new (std::nothrow) CStandardExDataProvider);
    if (!holder)
        throw kNotEnoughMemory;
    return holder;
}

CDispatchExDataProvider* CreateRegistry()
{
    auto* registry = new CDispatchExDataProvider;
    for (const char* key : {"VX9Q_ROOF_SECT_ID", "VX9Q_ROOF_PLANE_INDEX", "VX9Q_G3FACE_MATERIAL_INDEX"})
        registry->RegisterKey(key, nullptr);
    return registry;
}
} // namespace

CDispatchExDataProvider::CDispatchExDataProvider()
    : m_Providers(new (std::nothrow) std::map<std::string, ProviderHolder>)
{
    if (!m_Providers)
        throw kNotEnoughMemory;
}

CDispatchExDataProvider::~CDispatchExDataProvider() = default;

IGeometryExDataProvider* CDispatchExDataProvider::RegisterKey(const char* key, IGeometryExDataProvider* provider)
{
    ProviderHolder holder(provider);
    if (!holder)
        holder = NewStandardProvider();
    return AdoptKeyProvider(key, std::move(holder));
}

IGeometryExDataProvider* CDispatchExDataProvider::AdoptKeyProvider(const char* key, ProviderHolder provider)
{
    CheckKey(key);
    auto found = m_Providers->find(key);
    if (found != m_Providers->end())
        return found->second.get(); // the offered provider goes with its holder
    if (!provider)
        provider = NewStandardProvider();
    IGeometryExDataProvider* bound = provider.get();
    m_Providers->emplace(key, std::move(provider));
    return bound;
}

IGeometryExDataProvider* CDispatchExDataProvider::GetKeyProvider(const char* key)
{
    CheckKey(key);
    auto found = m_Providers->find(key);
    if (found != m_Providers->end())
        return found->second.get();
    return AdoptKeyProvider(key, NewStandardProvider());
}

CDispatchExDataProvider& CDispatchExDataProvider::GetDispatchProvider()
{
    static CDispatchExDataProvider* const registry = CreateRegistry();
    return *registry;
}
