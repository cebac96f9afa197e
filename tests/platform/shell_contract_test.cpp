// One contract for both shell implementations: the double natively, and under Wine also the
// real shell32, process environment and secur32 calls.
#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_shell.h"
#endif

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/shell.h"
#include "platform/sim/sim_shell.h"

namespace qmz {
namespace {

const std::wstring kVariable = L"QMZ4_SHELL_TEST";

// A shell and a way to change the environment it reads.
class IShellTarget {
public:
    virtual ~IShellTarget() = default;
    virtual IShell& Shell() = 0;
    virtual void SetVariable(const std::wstring& name, const std::wstring& value) = 0;
    virtual void RemoveVariable(const std::wstring& name) = 0;
};

// Set up as a Windows installation would be.
class CSimShellTarget : public IShellTarget {
public:
    CSimShellTarget() {
        m_shell.SetFolder(kCsidlWindows, FolderOwner::kCurrentUser, L"C:\\windows");
        m_shell.SetUserName(L"QMZ-PC\\tester");
    }
    IShell& Shell() override { return m_shell; }
    void SetVariable(const std::wstring& name, const std::wstring& value) override {
        m_shell.SetVariable(name, value);
    }
    void RemoveVariable(const std::wstring& name) override { m_shell.SetVariable(name, L""); }

private:
    CSimShell m_shell;
};

#ifdef _WIN32
class CWin32ShellTarget : public IShellTarget {
public:
    ~CWin32ShellTarget() override { RemoveVariable(kVariable); }
    IShell& Shell() override { return m_shell; }
    void SetVariable(const std::wstring& name, const std::wstring& value) override {
        ::SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
    void RemoveVariable(const std::wstring& name) override {
        ::SetEnvironmentVariableW(name.c_str(), nullptr);
    }

private:
    CWin32Shell m_shell;
};
#endif

struct ShellTargetFactory {
    const char* name;
    std::function<std::unique_ptr<IShellTarget>()> make;
};

class ShellContractTest : public ::testing::TestWithParam<ShellTargetFactory> {
protected:
    void SetUp() override { m_target = GetParam().make(); }
    IShell& Shell() { return m_target->Shell(); }
    std::unique_ptr<IShellTarget> m_target;
};

TEST_P(ShellContractTest, VariablesLongerThanTheBufferReadAsMissing) {
    const std::wstring fits(259, L'a');
    m_target->SetVariable(kVariable, fits);
    EXPECT_EQ(Shell().EnvironmentVariable(kVariable), fits);
    EXPECT_EQ(Shell().EnvironmentVariable(L"qmz4_shell_test"), fits);  // names ignore case

    m_target->SetVariable(kVariable, std::wstring(260, L'b'));
    EXPECT_EQ(Shell().EnvironmentVariable(kVariable), L"");
    m_target->SetVariable(kVariable, std::wstring(1000, L'c'));
    EXPECT_EQ(Shell().EnvironmentVariable(kVariable), L"");

    m_target->RemoveVariable(kVariable);
    EXPECT_EQ(Shell().EnvironmentVariable(kVariable), L"");
}

TEST_P(ShellContractTest, FoldersAreFullPathsOrNothing) {
    const std::wstring windows =
        Shell().SpecialFolderPath(kCsidlWindows, FolderOwner::kCurrentUser);
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(windows.substr(1, 2), L":\\");
    EXPECT_NE(windows.back(), L'\\');
    // A CSIDL the system does not know resolves to nothing, for either owner.
    EXPECT_EQ(Shell().SpecialFolderPath(0xFE, FolderOwner::kCurrentUser), L"");
    EXPECT_EQ(Shell().SpecialFolderPath(0xFE, FolderOwner::kDefaultUser), L"");
}

TEST_P(ShellContractTest, UserNameIsDomainBackslashAccount) {
    const std::wstring name = Shell().UserName();
    const size_t slash = name.find(L'\\');
    ASSERT_NE(slash, std::wstring::npos) << "no domain in the account name";
    EXPECT_GT(slash, 0u);
    EXPECT_LT(slash + 1, name.size());
    EXPECT_EQ(name.find(L'\\', slash + 1), std::wstring::npos);
}

std::vector<ShellTargetFactory> Targets() {
    std::vector<ShellTargetFactory> targets;
    targets.push_back({"Sim", [] { return std::unique_ptr<IShellTarget>(new CSimShellTarget); }});
#ifdef _WIN32
    targets.push_back(
        {"Win32", [] { return std::unique_ptr<IShellTarget>(new CWin32ShellTarget); }});
#endif
    return targets;
}

INSTANTIATE_TEST_SUITE_P(Shell, ShellContractTest, ::testing::ValuesIn(Targets()),
                         [](const ::testing::TestParamInfo<ShellTargetFactory>& info) {
                             return info.param.name;
                         });

#ifdef _WIN32
// The history store borrows the calling thread's COM only for the call: a thread that had
// none is left without, and a thread in another apartment is left in it.
TEST(Win32Shell, ClearingTheHistoryStoreLeavesTheThreadsComAsItFoundIt) {
    HRESULT cleared = E_FAIL;
    HRESULT afterwards = E_FAIL;
    std::thread plain([&] {
        cleared = CWin32Shell().ClearUrlHistory();
        afterwards = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterwards)) {
            CoUninitialize();
        }
    });
    plain.join();
    // Wine's history store does not implement ClearHistory.
    EXPECT_TRUE(cleared == S_OK || cleared == E_NOTIMPL) << std::hex << cleared;
    EXPECT_EQ(afterwards, S_OK) << "the apartment was not left";

    HRESULT inOtherApartment = S_OK;
    HRESULT stillThere = E_FAIL;
    std::thread multithreaded([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
            return;
        }
        inOtherApartment = CWin32Shell().ClearUrlHistory();
        stillThere = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(stillThere)) {
            CoUninitialize();
        }
        CoUninitialize();
    });
    multithreaded.join();
    EXPECT_EQ(inOtherApartment, RPC_E_CHANGED_MODE);
    EXPECT_EQ(stillThere, S_FALSE) << "the caller's apartment was ended";
}
#endif

}  // namespace
}  // namespace qmz
