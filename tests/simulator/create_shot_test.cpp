#include "simulator/shot_inverse.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The built library, loaded the way a host loads it: by file, with a C symbol.
class LoadedSimulator {
public:
    LoadedSimulator() : handle_(dlopen(SIMULATOR_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ != nullptr) {
            createShot_ = reinterpret_cast<CreateShotFunction>(dlsym(handle_, "CreateShot"));
        }
    }
    ~LoadedSimulator() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    LoadedSimulator(const LoadedSimulator&) = delete;
    LoadedSimulator& operator=(const LoadedSimulator&) = delete;
    CreateShotFunction createShot() const { return createShot_; }

private:
    void* handle_ = nullptr;
    CreateShotFunction createShot_ = nullptr;
};

TEST(CreateShotExport, LibraryAnswersLikeTheLinkedInverse) {
    LoadedSimulator library;
    ASSERT_NE(library.createShot(), nullptr) << dlerror();
    const std::vector<ShotTarget> targets = {
        MakeShotTarget(2.375f, 4.88f, 0), MakeShotTarget(2.375f, 4.88f, 1), MakeShotTarget(0.5f, -6.039f, 0),
        MakeShotTarget(10.998f, -55.039f, 1), MakeShotTarget(4.4775f, 7.635f, 0)};
    for (const ShotTarget& target : targets) {
        SCOPED_TRACE(testing::Message()
                     << "target (" << target.x << ", " << target.y << ") curl " << int{target.curl});
        ShotVector shot;
        std::memset(&shot, 0xAB, sizeof shot);
        library.createShot()(target, &shot);
        const ShotVector expected = simulator::ShotForTarget(target);
        EXPECT_EQ(shot.vx, expected.vx);
        EXPECT_EQ(shot.vy, expected.vy);
        EXPECT_EQ(shot.curl, target.curl);
    }
    library.createShot()(targets[0], nullptr);  // a host passing no record gets nothing written
}

}  // namespace
