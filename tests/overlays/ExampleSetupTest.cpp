// The demo setup that `make run` starts on must list its overlays and show descriptions.
#include "overlays/OverlayCatalog.h"
#include "platform/registry/FileRegistry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace varnak {
namespace {

TEST(ExampleSetup, InstallsAWorkingOverlayDirectory) {
    test::TempDir target;
    const std::string script = std::string(VARNAK_SOURCE_DIR) + "/examples/install-demo.sh";
    const std::string command =
        "'" + script + "' '" + target.Path().string() + "/demo' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);

    platform::FileRegistry registry(target.Path() / "demo" / "registry.reg");
    OverlayCatalog catalog(registry);
    auto listed = catalog.ListOverlays();
    std::ranges::sort(listed);
    EXPECT_EQ(listed, (std::vector<std::string>{"1", "12", "2", "25", "3", "7"}));
    EXPECT_EQ(catalog.WorkingDirectory(), (target.Path() / "demo" / "overlays/").string());
    EXPECT_EQ(catalog.ReadDescription("7"), "CONFIDENTIAL banner at the top of every page.");
    EXPECT_EQ(catalog.ReadDescription("25"), std::nullopt) << "25 has no description";
}

} // namespace
} // namespace varnak
