// The settings dialog without its window: the number edits, the method and verification
// rules, the log-file box, the language list, and what OK (and only OK) changes.
#include "ui/model/settings_dialog_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/method_table.h"

namespace qmz {
namespace {

std::vector<uint32_t> Passes(const MethodEntry& method) {
    return std::vector<uint32_t>(method.PassCodes, method.PassCodes + CountPasses(method));
}

SettingsRecord Record(int32_t method, int32_t value, int32_t count, int32_t verify) {
    SettingsRecord record;
    record.EraseMethod = method;
    record.QuickValue = value;
    record.QuickCount = count;
    record.Verify = verify;
    const EffectiveMethodChoice choice = BuildEffectiveMethod(method, value, count, verify);
    record.EffectiveMethod = choice.entry;
    record.PassCount = static_cast<int32_t>(choice.passCount);
    return record;
}

// The ModifiedMethodSlot is the program's one writable entry: each test puts it back.
class SettingsDialogModelTest : public ::testing::Test {
protected:
    void SetUp() override { m_savedSlot = *ModifiedMethodSlot(); }
    void TearDown() override { *ModifiedMethodSlot() = m_savedSlot; }

    CSettingsDialogModel m_model;

private:
    MethodEntry m_savedSlot;
};

TEST_F(SettingsDialogModelTest, NumberEditsKeepTwoAllowedDigitsAndRebuildTheQuickMethod) {
    m_model.Open(Record(0, 0, 1, 0));

    // Typing 1, G, 2: the G is dropped and the caret stays behind the 1.
    EditUpdate update = m_model.EditValue(L"1G", 2);
    EXPECT_EQ(update.text, L"1");
    EXPECT_EQ(update.caret, 1u);
    EXPECT_TRUE(update.changed);
    update = m_model.EditValue(L"12", 2);
    EXPECT_EQ(update.text, L"12");
    EXPECT_FALSE(update.changed);
    EXPECT_EQ(m_model.Working().QuickValue, 0x12);
    // A G typed in front: the caret goes back to where the G went in, not past the 1.
    update = m_model.EditValue(L"G12", 1);
    EXPECT_EQ(update.text, L"12");
    EXPECT_EQ(update.caret, 0u);

    // A third digit is dropped wherever it is typed; the one typed stays, caret after it.
    update = m_model.EditValue(L"123", 3);
    EXPECT_EQ(update.text, L"12");
    EXPECT_EQ(update.caret, 2u);
    update = m_model.EditValue(L"1a2", 2);
    EXPECT_EQ(update.text, L"1a");
    EXPECT_EQ(update.caret, 2u);
    EXPECT_EQ(m_model.Working().QuickValue, 0x1A);
    // An emptied box keeps the last value.
    m_model.EditValue(L"", 0);
    EXPECT_EQ(m_model.Working().QuickValue, 0x1A);

    update = m_model.EditCount(L"7x", 2);
    EXPECT_EQ(update.text, L"7");
    EXPECT_EQ(update.caret, 1u);
    EXPECT_EQ(m_model.Working().QuickCount, 7);
    EXPECT_EQ(Passes(m_model.WorkingMethod()), std::vector<uint32_t>(7, 0x1A));
    EXPECT_EQ(m_model.Working().PassCount, 7);
    EXPECT_EQ(m_model.EditCount(L"f9", 2).text, L"9");
    EXPECT_EQ(m_model.EditCount(L"100", 3).text, L"10");

    // No passes at all: a ticked verification box leaves the marker alone.
    m_model.SetOnePercentVerify(true);
    m_model.EditCount(L"0", 1);
    EXPECT_EQ(Passes(m_model.WorkingMethod()), std::vector<uint32_t>{PassVerifyOnePercent});
    EXPECT_EQ(m_model.Working().PassCount, 1);
    m_model.SetVerify(true);
    EXPECT_EQ(Passes(m_model.WorkingMethod()), std::vector<uint32_t>{PassVerify});
    EXPECT_FALSE(m_model.View().onePercentTicked);
}

TEST_F(SettingsDialogModelTest, MethodSelectionSetsTheEditsAndVerificationBoxes) {
    // The quick method with three passes and verification.
    m_model.Open(Record(0, 0xAB, 3, 1));
    EXPECT_EQ(Passes(m_model.WorkingMethod()),
              (std::vector<uint32_t>{0xAB, 0xAB, 0xAB, PassVerify}));
    EXPECT_EQ(m_model.Working().PassCount, 4);
    EXPECT_EQ(m_model.View().valueText, L"AB");
    EXPECT_EQ(m_model.View().countText, L"3");
    EXPECT_TRUE(m_model.View().numberEditsEnabled);
    EXPECT_TRUE(m_model.View().verifyTicked);
    EXPECT_FALSE(m_model.View().onePercentTicked);
    EXPECT_TRUE(m_model.View().verifyBoxesEnabled);

    // A method that ends with its own verification pass: 1% verification gives way, the
    // boxes lock, no second marker, the edits empty.
    m_model.SetOnePercentVerify(true);
    m_model.SelectMethod(1);
    EXPECT_EQ(Passes(m_model.WorkingMethod()), Passes(MethodTable[1]));
    EXPECT_TRUE(m_model.View().verifyTicked);
    EXPECT_FALSE(m_model.View().onePercentTicked);
    EXPECT_FALSE(m_model.View().verifyBoxesEnabled);
    EXPECT_EQ(m_model.View().valueText, L"");
    EXPECT_FALSE(m_model.View().numberEditsEnabled);
    EXPECT_FALSE(m_model.Result().workingMethodModified);

    // 1% verification, then full: exactly one marker, of the new kind, at the end.
    m_model.SelectMethod(3);
    EXPECT_EQ(Passes(m_model.WorkingMethod()),
              (std::vector<uint32_t>{0x00, 0xFF, 0xE5, PassVerifyOnePercent}));
    m_model.SetVerify(true);
    EXPECT_EQ(Passes(m_model.WorkingMethod()),
              (std::vector<uint32_t>{0x00, 0xFF, 0xE5, PassVerify}));
    EXPECT_EQ(m_model.Working().PassCount, 4);
    EXPECT_EQ(m_model.Working().Verify, 1);
    EXPECT_FALSE(m_model.View().onePercentTicked);
    m_model.SetVerify(false);
    EXPECT_EQ(Passes(m_model.WorkingMethod()), Passes(MethodTable[3]));
    EXPECT_EQ(m_model.Working().PassCount, 3);
    EXPECT_FALSE(m_model.Result().workingMethodModified);

    // No selection, or a row past the table, is the quick method.
    m_model.SelectMethod(-1);
    EXPECT_EQ(m_model.Working().EraseMethod, 0);
    EXPECT_EQ(m_model.View().methodRow, 0);
}

TEST_F(SettingsDialogModelTest, OnlyApplyingTheResultChangesTheEffectiveMethod) {
    SettingsRecord record = Record(0, 0x55, 2, 0);
    const MethodEntry slotBefore = *ModifiedMethodSlot();
    const std::vector<uint32_t> effectiveBefore = Passes(*record.EffectiveMethod);

    // Cancel: the dialog edited its copies, and nothing else moved.
    m_model.Open(record);
    m_model.EditCount(L"5", 1);
    m_model.SetVerify(true);
    EXPECT_EQ(Passes(*record.EffectiveMethod), effectiveBefore);
    EXPECT_EQ(Passes(*ModifiedMethodSlot()), Passes(slotBefore));
    EXPECT_EQ(record.QuickCount, 2);

    // OK: the working method becomes the effective one, as start-up would build it.
    ApplySettingsDialogResult(m_model.Result(), &record);
    EXPECT_EQ(record.EffectiveMethod, ModifiedMethodSlot());
    EXPECT_EQ(Passes(*record.EffectiveMethod),
              (std::vector<uint32_t>{0x55, 0x55, 0x55, 0x55, 0x55, PassVerify}));
    EXPECT_EQ(record.PassCount, 6);
    EXPECT_EQ(record.QuickCount, 5);
    EXPECT_EQ(record.Verify, 1);

    // Whatever the dialog builds is what the settings alone rebuild at the next start.
    const SettingsRecord cases[] = {Record(0, 0, 1, 0),    Record(0, 0, 1, 2),
                                    Record(0, 0x12, 0, 1), Record(6, 0, 1, 2),
                                    Record(7, 0x33, 4, 1), Record(17, 0, 1, 2)};
    for (const SettingsRecord& start : cases) {
        m_model.Open(start);
        SettingsRecord applied = start;
        ApplySettingsDialogResult(m_model.Result(), &applied);
        const MethodEntry dialogBuilt = *applied.EffectiveMethod;
        const EffectiveMethodChoice rebuilt = BuildEffectiveMethod(
            applied.EraseMethod, applied.QuickValue, applied.QuickCount, applied.Verify);
        EXPECT_EQ(Passes(dialogBuilt), Passes(*rebuilt.entry)) << start.EraseMethod;
        EXPECT_EQ(applied.PassCount, static_cast<int32_t>(rebuilt.passCount));
        EXPECT_EQ(applied.EffectiveMethod == ModifiedMethodSlot(),
                  rebuilt.entry == ModifiedMethodSlot())
            << start.EraseMethod;
    }
}

TEST_F(SettingsDialogModelTest, LogFileBoxAndButtonsDriveLogging) {
    SettingsRecord record = Record(0, 0, 1, 0);
    record.Logging = 1;
    record.LogFile = L"C:\\Logs\\Erase.log";
    m_model.Open(record);
    EXPECT_TRUE(m_model.View().logging);
    EXPECT_FALSE(m_model.NeedsLogFileCheck());
    m_model.EditLogFile(L"c:\\logs\\ERASE.LOG", 5);
    EXPECT_FALSE(m_model.NeedsLogFileCheck());  // the same file, in other case
    m_model.EditLogFile(L"C:\\Logs\\Other.log", 5);
    EXPECT_TRUE(m_model.NeedsLogFileCheck());
    m_model.LogFileUnwritable();
    EXPECT_FALSE(m_model.View().logging);
    EXPECT_FALSE(m_model.NeedsLogFileCheck());

    // Return after a name: the pair goes, the caret moves back by two, logging turns on.
    EditUpdate update = m_model.EditLogFile(L"D:\\a.log\r\n", 10);
    EXPECT_EQ(update.text, L"D:\\a.log");
    EXPECT_EQ(update.caret, 8u);
    EXPECT_TRUE(update.changed);
    EXPECT_EQ(m_model.Working().Logging, 1);
    EXPECT_TRUE(m_model.View().logging);
    // A caret before the pair stays.
    update = m_model.EditLogFile(L"D:\r\n\\a.log", 1);
    EXPECT_EQ(update.text, L"D:\\a.log");
    EXPECT_EQ(update.caret, 1u);
    // Return in an empty box turns logging off.
    update = m_model.EditLogFile(L"\r\n", 2);
    EXPECT_EQ(update.text, L"");
    EXPECT_EQ(update.caret, 0u);
    EXPECT_EQ(m_model.Working().Logging, 0);
    EXPECT_FALSE(m_model.View().logging);

    m_model.ChooseLogFile(L"E:\\picked.log");
    EXPECT_TRUE(m_model.View().logging);
    EXPECT_EQ(m_model.View().logFile, L"E:\\picked.log");
    m_model.RequestLogErase();
    EXPECT_FALSE(m_model.View().logging);
    SettingsDialogResult result = m_model.Result();
    EXPECT_TRUE(result.eraseLogRequested);
    EXPECT_EQ(result.settings.LogFile, L"E:\\picked.log");
    EXPECT_EQ(result.settings.Logging, 0);

    // Each opening starts without an erase request; logging off at opening always checks.
    record.Logging = 0;
    m_model.Open(record);
    EXPECT_FALSE(m_model.Result().eraseLogRequested);
    m_model.SetCheck(SettingsCheck::kLogging, true);
    EXPECT_TRUE(m_model.NeedsLogFileCheck());
}

TEST_F(SettingsDialogModelTest, LanguageRowsAndPlainBoxes) {
    SettingsRecord record = Record(0, 0, 1, 0);
    record.Language = 1036;
    record.IncludeSuperHidden = 1;
    record.AllUsersRecycleBin = 2;  // only 1 ticks a box
    m_model.Open(record);
    EXPECT_EQ(m_model.View().languageRow, 0);
    EXPECT_EQ(m_model.Result().settings.Language, 0);
    EXPECT_TRUE(m_model.View().includeSuperHidden);
    EXPECT_FALSE(m_model.View().allUsersRecycleBin);

    m_model.SelectLanguage(3);
    EXPECT_EQ(m_model.Result().settings.Language, 2052);
    m_model.SelectLanguage(7);
    EXPECT_EQ(m_model.View().languageRow, 0);
    EXPECT_EQ(m_model.Result().settings.Language, 0);
    record.Language = 1033;
    m_model.Open(record);
    EXPECT_EQ(m_model.View().languageRow, 2);

    m_model.SetCheck(SettingsCheck::kAllUsersRecycleBin, true);
    m_model.SetCheck(SettingsCheck::kIncludeSuperHidden, false);
    m_model.SetCheck(SettingsCheck::kEnableShellExtension, true);
    m_model.SetCheck(SettingsCheck::kAutorun, true);
    m_model.SetCheck(SettingsCheck::kIncludeNetworkDrives, true);
    const SettingsRecord out = m_model.Result().settings;
    EXPECT_EQ(out.AllUsersRecycleBin, 1);
    EXPECT_EQ(out.IncludeSuperHidden, 0);
    EXPECT_EQ(out.EnableShellExtension, 1);
    EXPECT_EQ(out.Autorun, 1);
    EXPECT_EQ(out.IncludeNetworkDrives, 1);
}

}  // namespace
}  // namespace qmz
