#include "simulator/shot_inverse.h"

#include "platform/shared_library.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The built library, loaded the way a host loads it: by file, with a C symbol.
TEST(CreateShotExport, LibraryAnswersLikeTheLinkedInverse) {
    void* library = platform::LoadSharedLibrary(SIMULATOR_LIBRARY_PATH);
    ASSERT_NE(library, nullptr);
    auto createShot =
        reinterpret_cast<records::CreateShotFunction>(platform::FindSymbol(library, "CreateShot"));
    ASSERT_NE(createShot, nullptr);
    for (const records::ShotTarget& target :
         {records::MakeShotTarget(2.375f, 4.88f, 0), records::MakeShotTarget(2.375f, 4.88f, 1),
          records::MakeShotTarget(0.5f, -6.039f, 0), records::MakeShotTarget(10.998f, -55.039f, 1)}) {
        SCOPED_TRACE(testing::Message()
                     << "target (" << target.x << ", " << target.y << ") curl " << int{target.curl});
        records::ShotVector shot;
        std::memset(&shot, 0xAB, sizeof shot);
        createShot(target, &shot);
        const records::ShotVector expected = simulator::ShotForTarget(target);
        EXPECT_TRUE(shot.vx == expected.vx && shot.vy == expected.vy && shot.curl == target.curl);
    }
    createShot(records::MakeShotTarget(2.375f, 4.88f, 0),
               nullptr);  // a host passing no record gets nothing written
}

}  // namespace
