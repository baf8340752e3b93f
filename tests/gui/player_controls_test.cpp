// The rip page's player controls on the real window, the tip of the day and the bundled help.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QSlider>
#include <QToolButton>

#include "gui/tip_dialog.h"
#include "platform/atomic_file.h"
#include "platform/program_home.h"
#include "window_harness.h"

namespace lumbra {
namespace {

class PlayerControlsTest : public test::WindowHarness {
protected:
    void press(const char* name) const {
        QTest::mouseClick(window->findChild<QToolButton*>(name), Qt::LeftButton);
    }
    void menu(const char* caption) const {
        for (QAction* action : rip().contextMenu()->actions()) {
            if (action->text() == caption) action->trigger();
        }
    }
};

TEST_F(PlayerControlsTest, TheButtonsMenuAndSliderDriveThePlayerAndExitStopsIt) {
    open(image("disc", 3, 4));
    selectOnly({1});
    press("play");
    EXPECT_EQ(status(), "[音轨2] 00:00 / 0:4  正在播放...");
    EXPECT_EQ(audio.pullFrames(10), 10);
    ASSERT_TRUE(waitFor([&] { return status() == "[音轨2] 0:1 / 0:4  正在播放..."; }, 3000))
        << "the position clock ticks";
    EXPECT_EQ(rip().positionSlider()->value(), 25);

    press("pause");
    ASSERT_TRUE(waitFor([&] { return status().endsWith("  暂停"); }, 3000));
    Q_EMIT rip().positionSlider()->sliderMoved(50);
    ASSERT_TRUE(waitFor([&] { return status() == "[音轨2] 0:3 / 0:4  正在播放..."; }, 3000))
        << "a drag plays on from the middle";

    press("stop-playing");
    EXPECT_EQ(status(), "就绪");
    EXPECT_EQ(rip().positionSlider()->value(), 0);

    selectOnly({0});
    menu("播放");
    EXPECT_EQ(status(), "[音轨1] 00:00 / 0:4  正在播放...");
    menu("停止播放");
    EXPECT_EQ(status(), "就绪");

    press("play");
    ASSERT_TRUE(rip().player().deviceOpen());
    click("exit");
    EXPECT_FALSE(rip().player().deviceOpen()) << "exit stops playback";
}

TEST(TipDialogTest, ShowsTheStoredTipAndKeepsTheNextAndTheStartUpChoice) {
    test::TempDir home;
    const SettingsStore store(settingsPath(home.path()));
    struct Case {
        int stored;
        int shown;
    };
    for (const Case& c : {Case{0, 0}, Case{3, 3}, Case{gui::tipCount() - 1, gui::tipCount() - 1},
                          Case{gui::tipCount() + 2, 2}, Case{-1, gui::tipCount() - 1}}) {
        store.write(gui::kNextTip, c.stored);
        gui::TipDialog dialog(store, nullptr);
        EXPECT_EQ(dialog.tipLabel()->text(), gui::tipText(c.shown)) << c.stored;
        EXPECT_EQ(store.read(gui::kNextTip), (c.shown + 1) % gui::tipCount()) << c.stored;
        dialog.nextTip();
        EXPECT_EQ(dialog.tipLabel()->text(), gui::tipText(c.shown + 1)) << c.stored;
    }

    gui::TipDialog dialog(store, nullptr);
    EXPECT_TRUE(dialog.showAtStartup()->isChecked()) << "on by default";
    dialog.showAtStartup()->click();
    EXPECT_EQ(store.read(gui::kShowTipsAtStartup), 0);
    EXPECT_FALSE(gui::TipDialog(store, nullptr).showAtStartup()->isChecked());
}

// The about page's links lead to sections of the bundled help.
TEST(BundledHelp, HasTheSectionsTheLinksNameInChinese) {
    const auto html = platform::readWholeFile(platform::executableFolder() + "/help.html");
    ASSERT_TRUE(html);
    for (const char* section : {"home", "support", "updates"}) {
        EXPECT_NE(html->find(std::string("id=\"") + section + "\""), std::string::npos) << section;
    }
    EXPECT_NE(html->find("lang=\"zh-CN\""), std::string::npos);
    EXPECT_NE(html->find("setup.ini"), std::string::npos);
}

}  // namespace
}  // namespace lumbra
