// Loading plug-in objects through the shared library, as a host does.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "tessaly/object.h"

namespace {
bool IsLibraryLoaded(const char* path)
{
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}
} // namespace

TEST(GDynamicClass, LoadsAnObjectThroughNewInstanceAndUnloadsTheLibrary)
{
    ASSERT_FALSE(IsLibraryLoaded(TEST_PLUGIN_WITH_FACTORY));
    GDynamicClass* plugin = nullptr;
    ASSERT_EQ(GDynamicClass::Load(&plugin, TEST_PLUGIN_WITH_FACTORY), 1);
    ASSERT_NE(plugin, nullptr);
    EXPECT_TRUE(plugin->IsLoaded());
    EXPECT_NE(plugin->GetLibrary(), nullptr);
    EXPECT_STREQ(plugin->GetDllName(), TEST_PLUGIN_WITH_FACTORY);
    EXPECT_STREQ(plugin->___GetClassName(), "RoofPlugin");
    EXPECT_STREQ(plugin->GetName(), "Roof plug-in");
    EXPECT_EQ(plugin->GetType(), 42);
    EXPECT_TRUE(IsLibraryLoaded(TEST_PLUGIN_WITH_FACTORY));

    GDynamicClass::Unload(&plugin);
    EXPECT_EQ(plugin, nullptr);
    EXPECT_FALSE(IsLibraryLoaded(TEST_PLUGIN_WITH_FACTORY));
    GDynamicClass::Unload(&plugin); // null: nothing to do
}

TEST(GDynamicClass, LibraryWithoutNewInstanceIsRefusedAndNotKept)
{
    GDynamicClass* plugin = reinterpret_cast<GDynamicClass*>(0x10);
    EXPECT_EQ(GDynamicClass::Load(&plugin, TEST_PLUGIN_WITHOUT_FACTORY), 0);
    EXPECT_EQ(plugin, nullptr);
    EXPECT_FALSE(IsLibraryLoaded(TEST_PLUGIN_WITHOUT_FACTORY));
    EXPECT_EQ(GDynamicClass::TestExists(TEST_PLUGIN_WITHOUT_FACTORY), 1);
}

TEST(GDynamicClass, MissingOrNullPathsFailCleanly)
{
    GDynamicClass* plugin = nullptr;
    EXPECT_EQ(GDynamicClass::Load(&plugin, "/no/such/libplugin.so"), 0);
    EXPECT_EQ(plugin, nullptr);
    EXPECT_EQ(GDynamicClass::Load(&plugin, nullptr), 0);
    EXPECT_EQ(GDynamicClass::Load(nullptr, TEST_PLUGIN_WITH_FACTORY), 0);
}
