#include "DiscWindowSupport.h"
#include "RecordingPrompter.h"

#include "gui/EraseDiscDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace trelmig;

namespace {

class EraseWindowTest : public ::testing::Test {
protected:
    RecordingPrompter prompter;
    FakeDiscDevice* device = new FakeDiscDevice();
    std::unique_ptr<DiscEngine> engine = EngineWith({device});
    std::unique_ptr<EraseDiscDialog> window;

    void SetUp() override {
        guiApp();
        ASSERT_TRUE(engine->InitializeDevices(false));
        window = std::make_unique<EraseDiscDialog>(prompter);
        window->Prepare(device, *engine);
        window->show();
    }

    // The window's control with this object name.
    template <typename W> W* child(const char* name) const {
        return control<W>(window.get(), QString::fromLatin1(name));
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : prompter.messages)
            texts.push_back(m.text);
        return texts;
    }

    void Rewritable(int type) { device->media = {type, false, true}; }

    void Progress(bool finished, bool succeeded, std::int64_t done) {
        device->eraseProgress.activity = DeviceProgress::Activity::Erasing;
        device->eraseProgress.finished = finished;
        device->eraseProgress.succeeded = succeeded;
        device->eraseProgress.done = done;
        device->eraseProgress.total = 100;
        engine->Poll();
    }
};

TEST_F(EraseWindowTest, OpensReadyWithQuickErase) {
    EXPECT_EQ(window->windowTitle(), "Erase Re-Writable CD/DVD");
    EXPECT_TRUE(child<QCheckBox>("chkQuikErase")->isChecked());
    EXPECT_EQ(child<QCheckBox>("chkQuikErase")->text(), "Perform Quick Erase");
    EXPECT_TRUE(child<QPushButton>("cmdErase")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("cmdCancel")->isEnabled());
    EXPECT_FALSE(window->Erasing());
    window->onCancelClicked();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EraseWindowTest, AnEmptyDriveIsRefusedFirst) {
    device->media = {};
    window->onEraseClicked();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"No Media Loaded."}));
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(device->askedCapabilities.empty());
    EXPECT_FALSE(device->erasedWith);
}

TEST_F(EraseWindowTest, AWriteOnceMediumIsRefusedNext) {
    device->media = {kMediaDvdPlusR, true, false};
    window->onEraseClicked();
    EXPECT_EQ(Messages(), (std::vector<std::string>{"The current media is not re-writable."}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(device->askedCapabilities.empty());
}

TEST_F(EraseWindowTest, ThePairsAreTriedInOrderUntilOneHolds) {
    Rewritable(kMediaCdRw);
    device->capabilities = {{17, true}, {22, true}, {23, true}};
    window->onEraseClicked();
    EXPECT_EQ(device->askedCapabilities, (std::vector<int>{17, 19, 22}))
        << "17 answers yes but the medium is no DVD-RW; later pairs are not asked";
    ASSERT_TRUE(device->erasedWith);
    EXPECT_EQ(*device->erasedWith, std::make_pair(true, 7L)) << "quick, the device's value";
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(window->isVisible()) << "waits for the engine";
}

TEST_F(EraseWindowTest, AFormatTheDriveCannotEraseIsRefused) {
    Rewritable(kMediaDvdPlusRw);
    device->capabilities = {{17, true}, {19, true}, {22, true}, {27, true}};
    window->onEraseClicked();
    EXPECT_EQ(device->askedCapabilities, (std::vector<int>{17, 19, 22, 23, 27}));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "Selected drive does not support re-writable discs of this format."}));
    EXPECT_FALSE(device->erasedWith);
    EXPECT_FALSE(window->isVisible());

    // A rewritable type no pair names.
    prompter.messages.clear();
    window->Prepare(device, *engine);
    window->show();
    Rewritable(kMediaDvdRam);
    device->capabilities = {{17, true}, {19, true}, {22, true}, {23, true}, {27, true}};
    window->onEraseClicked();
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "Selected drive does not support re-writable discs of this format."}));
}

TEST_F(EraseWindowTest, FullEraseAndARefusedStart) {
    Rewritable(kMediaBdRe);
    device->capabilities = {{27, true}};
    child<QCheckBox>("chkQuikErase")->setChecked(false);
    device->eraseStarts = false;
    window->onEraseClicked();
    ASSERT_TRUE(device->erasedWith);
    EXPECT_FALSE(device->erasedWith->first) << "full erase";
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Could not start Erase operation!!!"}));
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EraseWindowTest, TheEraseIsFollowedToItsEndAndCannotBeClosedMeanwhile) {
    Rewritable(kMediaDvdRw);
    device->capabilities = {{19, true}};
    window->onEraseClicked();
    Progress(false, false, 10);
    EXPECT_TRUE(window->Erasing());
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Erasing Disc...Please Wait!!");
    EXPECT_FALSE(child<QPushButton>("cmdErase")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("cmdCancel")->isEnabled());
    EXPECT_EQ(child<QProgressBar>("prgEraseProgress")->value(), 10);
    Progress(false, false, 55);
    EXPECT_EQ(child<QProgressBar>("prgEraseProgress")->value(), 55);
    window->close();
    window->reject();
    EXPECT_TRUE(window->isVisible()) << "closing is refused while erasing";

    Progress(true, true, 100);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Erase operation complete!!!");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Erase Completed!!!"}));
    EXPECT_FALSE(window->Erasing());
    EXPECT_FALSE(window->isVisible()) << "closes by itself";
}

TEST_F(EraseWindowTest, AnEraseTheDriveEndsBadlyClosesWithTheErrorText) {
    Rewritable(kMediaDvdRw);
    device->capabilities = {{19, true}};
    window->onEraseClicked();
    Progress(false, false, 5);
    EXPECT_TRUE(window->Erasing());
    Progress(true, false, 5);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Error Erasing Disc!!!");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(window->Erasing());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EraseWindowTest, AFailedEraseClosesTheWindow) {
    window->EraseState(kEraseStarted, 0);
    window->EraseState(kEraseFailed, 0);
    EXPECT_EQ(child<QLabel>("lblStatus")->text(), "Error Erasing Disc!!!");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(EraseWindowTest, ADeviceErrorLeavesTheWindowOpenForAnotherTry) {
    window->EraseState(kEraseStarted, 0);
    window->DeviceError({0x2014a, "Blank failed", "HL-DT-ST DVDRAM", "5 30 05"});
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Device Error: (131402)   Blank failed\n(5 30 05) HL-DT-ST DVDRAM"}));
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(child<QPushButton>("cmdErase")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("cmdCancel")->isEnabled());
    EXPECT_FALSE(window->Erasing());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(EraseWindowTest, AnEraseThatEndsBeforeTheFirstPollIsStillReportedWhole) {
    Rewritable(kMediaDvdPlusRw);
    device->capabilities = {{23, true}};
    window->onEraseClicked();
    Progress(true, true, 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Erase Completed!!!"}));
    EXPECT_FALSE(window->isVisible());
}

} // namespace
