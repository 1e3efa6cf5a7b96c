#include "simulator/shot_inverse.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

// The built library, loaded the way a host loads it: by file, with a C symbol.
TEST(CreateShotExport, LibraryAnswersLikeTheLinkedInverse) {
    void* library = dlopen(SIMULATOR_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto createShot = reinterpret_cast<CreateShotFunction>(dlsym(library, "CreateShot"));
    ASSERT_NE(createShot, nullptr) << dlerror();
    for (const ShotTarget& target :
         {MakeShotTarget(2.375f, 4.88f, 0), MakeShotTarget(2.375f, 4.88f, 1),
          MakeShotTarget(0.5f, -6.039f, 0), MakeShotTarget(10.998f, -55.039f, 1)}) {
        SCOPED_TRACE(testing::Message()
                     << "target (" << target.x << ", " << target.y << ") curl " << int{target.curl});
        ShotVector shot;
        std::memset(&shot, 0xAB, sizeof shot);
        createShot(target, &shot);
        const ShotVector expected = simulator::ShotForTarget(target);
        EXPECT_TRUE(shot.vx == expected.vx && shot.vy == expected.vy && shot.curl == target.curl);
    }
    createShot(MakeShotTarget(2.375f, 4.88f, 0), nullptr);  // a host passing no record gets nothing written
    dlclose(library);
}

}  // namespace
