#pragma once

// The restore's specifications, written once and run against each Outlook
// installation below: TEST_P(RestoreSuite, ...) runs for both. What differs
// between them is named here, not in the tests.

#include "RestoreFixture.h"

#include <functional>
#include <string>

struct PrefixUnderTest {
    const char* name;
    // Puts the installation into a prefix copy (whose root it replaces).
    std::function<void(SamplePrefixCopy&)> make;
    std::string officeVersion; // "14.0": the key below Software\Microsoft\Office
    std::string profilesKey;   // where the profiles live in the registry
    // The data folder below the user folder, the data file of the "Outlook"
    // profile in it, another data file there that no restore of "Outlook"
    // may touch, and the Windows path the profile names its data file by.
    std::string dataFolder;
    std::string dataFile;
    std::string otherDataFile;
    std::string dataFileWindowsPath;
};

// Outlook 2010 on Windows 7 (the committed sample prefix) and Outlook 2016 on
// Windows 10 (written by hand as Wine 8 writes it).
extern const PrefixUnderTest kOutlook2010;
extern const PrefixUnderTest kOutlook2016;

class RestoreSuite : public RestoreFixture, public ::testing::WithParamInterface<PrefixUnderTest> {
protected:
    void SetUp() override {
        RestoreFixture::SetUp();
        GetParam().make(source);
        GetParam().make(target);
    }
    std::filesystem::path targetDataFolder() const {
        return target.userFolder() / GetParam().dataFolder;
    }
};
