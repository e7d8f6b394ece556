// A handle with static lifetime holding a value that its key's provider
// owns. It is destroyed at process exit, after the test framework's own
// statics; its store then frees the value through the provider, which must
// still be alive. Under the sanitizers a freed provider or a lost value
// fails the run.
#include <gtest/gtest.h>

#include "counting_provider.h"
#include "tessaly/exdata.h"

namespace {
CExData g_StaticHandle;
} // namespace

TEST(ExDataExit, StaticHandleKeepsAnOwnedValueUntilExit)
{
    RegisterNew<OwningProvider>("TEST_EXIT_OWNED");
    g_StaticHandle.Add("TEST_EXIT_OWNED", OwningProvider::NewValue(42));
    EXPECT_EQ(OwningProvider::ValueOf(g_StaticHandle.GetData("TEST_EXIT_OWNED")), 42);
}
