#include "host/replay_page.h"

#include "tests/host/scripted_sheet.h"
#include "tests/host/xml_check.h"

#include <gtest/gtest.h>

namespace {

using hosttest::FakeEngine;

std::size_t Count(const std::vector<hosttest::XmlElement>& elements, const std::string& name,
                  const std::string& cls) {
    std::size_t count = 0;
    for (const hosttest::XmlElement& element : elements) {
        auto found = element.attributes.find("class");
        if (element.name == name &&
            (cls.empty() || (found != element.attributes.end() && found->second == cls))) {
            ++count;
        }
    }
    return count;
}

TEST(ReplayPage, IsWellFormedSelfContainedAndHasOneFramePerShot) {
    struct Case {
        const char* engine0;
        double timeout;
    } cases[] = {{"good", 5.0}, {"garbage", 5.0}, {"mute", 0.3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.engine0);
        host::GameSetup setup = hosttest::TestSetup(FakeEngine(c.engine0), FakeEngine("good"));
        setup.shotTimeout = c.timeout;
        setup.engines[1] += " & <friends>";  // a path that needs escaping; it only has to reach the page
        host::GameLog log = hosttest::PlayTestGame(setup);
        std::string page = hosttest::ReadFile(setup.folder + "/replay.html");
        EXPECT_EQ(page, host::ReplayPage(log));
        std::vector<hosttest::XmlElement> elements;
        std::string error;
        ASSERT_TRUE(hosttest::CheckXml(page.substr(page.find("<html")), elements, error)) << error;
        EXPECT_EQ(Count(elements, "g", "frame"), log.shots.size());
        EXPECT_EQ(Count(elements, "svg", ""), 1u);
        EXPECT_EQ(Count(elements, "script", ""), 1u);
        for (const hosttest::XmlElement& element : elements) {
            EXPECT_EQ(element.attributes.count("src"), 0u) << element.name;  // nothing fetched
            EXPECT_EQ(element.attributes.count("href"), 0u) << element.name;
            if (element.name == "g" && element.attributes.count("class") != 0) {
                EXPECT_NE(element.attributes.at("data-caption"), "");
            }
        }
        std::size_t stones = 0;
        for (const host::ShotEntry& shot : log.shots) {
            for (const StonePosition& stone : shot.stones) {
                stones += stone.x != 0.0f || stone.y != 0.0f ? 1 : 0;
            }
        }
        EXPECT_EQ(Count(elements, "text", "num"), stones);  // every stone in play drawn with its number
    }
}

}  // namespace
