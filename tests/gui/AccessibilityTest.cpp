// Keyboard and screen readers on the main window: every item box has its own
// mnemonic on its tab, and every box the user types in or reads has a name
// of its own, not its frame's title.
#include "MainWindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include <algorithm>
#include <string>
#include <vector>

using namespace trelmig;

TEST_F(MainWindowTest, ItemBoxesHaveMnemonicsAndInputsHaveNames) {
    open();
    for (const char* panel : {"backupitem", "restoreitem"})
        for (QCheckBox* box : itemBoxes(window.get(), panel))
            EXPECT_TRUE(box->text().contains(QLatin1Char('&'))) << box->text().toStdString();
    for (int tab : {0, 1}) {
        child<QTabWidget>("SSTab1")->setCurrentIndex(tab);
        EXPECT_TRUE(mnemonicProblems(window.get()).isEmpty())
            << mnemonicProblems(window.get()).join(QLatin1Char('\n')).toStdString();
    }

    QList<QWidget*> inputs;
    for (QWidget* w : window->findChildren<QWidget*>())
        if ((qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
             qobject_cast<QPlainTextEdit*>(w)) &&
            w->objectName() != QLatin1String("Texttemp") && !w->objectName().isEmpty())
            inputs << w;
    ASSERT_GE(inputs.size(), 9);
    for (QWidget* input : inputs)
        EXPECT_FALSE(input->accessibleName().isEmpty()) << input->objectName().toStdString();
    EXPECT_EQ(child<QLineEdit>("txtTargetFile")->accessibleName(), QStringLiteral("Backup file"));
}

// Tab walks each tab's inputs in the order they stand on the screen.
TEST_F(MainWindowTest, TabFollowsTheInputsFromTopToBottom) {
    open();
    const std::vector<std::vector<std::string>> tabs = {
        {"cbSource", "txtAttachInfo", "txtTargetFile", "cmdTargetFile", "ifprotect", "txtPassword",
         "txtPassword2"},
        {"txtSourceFile", "cmdSourceFile", "txtPOBinfo", "txtFileInfo", "cbTarget"}};
    for (const std::vector<std::string>& inputs : tabs) {
        std::vector<std::string> met;
        QWidget* w = child<QWidget>(inputs.front().c_str());
        for (int steps = 0; steps < 500 && met.size() < inputs.size() - 1; ++steps) {
            w = w->nextInFocusChain();
            const std::string name = w->objectName().toStdString();
            if (std::find(inputs.begin(), inputs.end(), name) != inputs.end())
                met.push_back(name);
        }
        met.insert(met.begin(), inputs.front());
        EXPECT_EQ(met, inputs);
    }
}
