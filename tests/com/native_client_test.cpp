// A C++ client of the automation class: the dual interface's vtable, marshalled by the
// type library, and IDispatch by name as late-bound clients call it.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "qmz4_h.h"
#include "registration/com_ids.h"
#include "tests/com/com_fixture.h"
#include "tests/gui/program_driver.h"

namespace qmz::comtest {
namespace {

class NativeClientTest : public CComServerTest {};

// GetIDsOfNames, then Invoke as a method with `argument` as its one BSTR (or none).
HRESULT CallByName(IDispatch* dispatch, const wchar_t* name, const std::wstring* argument) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT found = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found)) {
        return found;
    }
    CBstr text(argument != nullptr ? *argument : std::wstring());
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text.Get();
    DISPPARAMS parameters = {argument != nullptr ? &value : nullptr, nullptr,
                             argument != nullptr ? 1u : 0u, 0};
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    const HRESULT called = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &parameters, nullptr, &exception, &badArgument);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return called;
}

DISPID IdOf(IDispatch* dispatch, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
}

TEST_F(NativeClientTest, VtableCallsStartTheServerAndAddOneRowPerPath) {
    CComSession com;
    ASSERT_TRUE(com.Ok());
    const std::wstring folder = ScratchFolder(L"vtable");
    const std::wstring spaced = folder + L"\\a b.txt";
    const std::wstring plain = folder + L"\\c.txt";
    CComPtr<IQMZ4MainAuto> automation;
    ASSERT_EQ(CoCreateInstance(Guid(kMainAutoClassId), nullptr, CLSCTX_LOCAL_SERVER,
                               Guid(kMainAutoInterfaceId), automation.ReceiveVoid()),
              S_OK);
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(15000)) << "COM started no program with a window";

    // As the shell extension writes them: each path quoted, each followed by a blank.
    EXPECT_EQ(
        automation->DoFilesAndFolders(CBstr(L"\"" + spaced + L"\" \"" + plain + L"\" ").Get()),
        S_OK);
    EXPECT_EQ(automation->DoFreeSpace(CBstr(L"\"D:\\\" ").Get()), S_OK);
    EXPECT_EQ(automation->DoEntirePartitions(CBstr(L"D:\\").Get()), S_OK);
    EXPECT_EQ(automation->DoRecycleBin(), S_OK);
    ASSERT_TRUE(program.WaitForRows(5));
    gui::Settle(500);
    EXPECT_TRUE(HasRows(program, {{spaced, kFileKind},
                                  {plain, kFileKind},
                                  {L"D:\\", kFreeSpaceKind},
                                  {L"D:\\", kEntirePartitionKind},
                                  {L"", kRecycleBinKind}}));
    automation.Reset();
    EXPECT_TRUE(program.Close());
}

TEST_F(NativeClientTest, DispatchByNameReachesEachMethodAndRefusesUnknownNames) {
    CComSession com;
    ASSERT_TRUE(com.Ok());
    const std::wstring spaced = ScratchFolder(L"dispatch") + L"\\x y.txt";
    CComPtr<IDispatch> dispatch;
    ASSERT_EQ(CoCreateInstance(Guid(kMainAutoClassId), nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               dispatch.ReceiveVoid()),
              S_OK);
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(15000)) << "COM started no program with a window";

    EXPECT_EQ(IdOf(dispatch.Get(), L"DoFilesAndFolders"), 1);
    EXPECT_EQ(IdOf(dispatch.Get(), L"DoFreeSpace"), 2);
    EXPECT_EQ(IdOf(dispatch.Get(), L"DoEntirePartitions"), 3);
    EXPECT_EQ(IdOf(dispatch.Get(), L"DoRecycleBin"), 4);
    EXPECT_EQ(CallByName(dispatch.Get(), L"DoEverything", nullptr), DISP_E_UNKNOWNNAME);

    const std::wstring files = L"\"" + spaced + L"\"";
    const std::wstring root = L"D:\\";
    EXPECT_EQ(CallByName(dispatch.Get(), L"DoFilesAndFolders", &files), S_OK);
    EXPECT_EQ(CallByName(dispatch.Get(), L"DoFreeSpace", &root), S_OK);
    EXPECT_EQ(CallByName(dispatch.Get(), L"DoEntirePartitions", &root), S_OK);
    // One object, called twice: two requests, not one.
    EXPECT_EQ(CallByName(dispatch.Get(), L"DoRecycleBin", nullptr), S_OK);
    EXPECT_EQ(CallByName(dispatch.Get(), L"DoRecycleBin", nullptr), S_OK);
    ASSERT_TRUE(program.WaitForRows(5));
    gui::Settle(500);
    EXPECT_TRUE(HasRows(program, {{spaced, kFileKind},
                                  {root, kFreeSpaceKind},
                                  {root, kEntirePartitionKind},
                                  {L"", kRecycleBinKind},
                                  {L"", kRecycleBinKind}}));
    dispatch.Reset();
    EXPECT_TRUE(program.Close());
}

TEST_F(NativeClientTest, NamesComeFromTheProgramFileWhenNoTypeLibraryIsRegistered) {
    CComSession com;
    ASSERT_TRUE(com.Ok());
    // A process COM starts does not register again, so the library stays unregistered.
    ASSERT_EQ(UnRegisterTypeLib(Guid(kQmz4LibraryId), 1, 0, LOCALE_NEUTRAL, SYS_WIN64), S_OK);
    CComPtr<ITypeLib> registered;
    ASSERT_FALSE(SUCCEEDED(
        LoadRegTypeLib(Guid(kQmz4LibraryId), 1, 0, LOCALE_NEUTRAL, registered.Receive())));
    CComPtr<IDispatch> dispatch;
    ASSERT_EQ(CoCreateInstance(Guid(kMainAutoClassId), nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               dispatch.ReceiveVoid()),
              S_OK);
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(15000)) << "COM started no program with a window";

    EXPECT_EQ(IdOf(dispatch.Get(), L"DoRecycleBin"), 4);
    EXPECT_EQ(CallByName(dispatch.Get(), L"DoRecycleBin", nullptr), S_OK);
    ASSERT_TRUE(program.WaitForRows(1));
    EXPECT_TRUE(HasRows(program, {{L"", kRecycleBinKind}}));
    dispatch.Reset();
    EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace qmz::comtest
