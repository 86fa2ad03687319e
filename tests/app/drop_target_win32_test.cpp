#include "app/drop_target.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// A data object holding CF_HDROP, built the way the shell builds one for a file drag:
// a DROPFILES header followed by wide names, the list ended by an empty name.
class FileListDataObject : public IDataObject {
public:
    explicit FileListDataObject(const std::vector<std::wstring>& names) : names(names) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
        size_t characters = 1;
        for (const std::wstring& name : names) characters += name.size() + 1;
        SIZE_T bytes = sizeof(DROPFILES) + characters * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GHND, bytes);
        DROPFILES* header = static_cast<DROPFILES*>(GlobalLock(memory));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        wchar_t* at = reinterpret_cast<wchar_t*>(header + 1);
        for (const std::wstring& name : names) {
            memcpy(at, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
            at += name.size() + 1;
        }
        *at = 0;
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        ++served;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    std::vector<std::wstring> names;
    int served = 0;
};

std::vector<std::string> droppedNames() {
    uint32_t count = 0, capacity = 0;
    const char* list = droppedFileList(&count, &capacity);
    std::vector<std::string> names;
    for (const char* at = list; at && *at; at += strlen(at) + 1) names.push_back(at);
    EXPECT_EQ(names.size(), count);
    return names;
}

uint32_t droppedCapacity() {
    uint32_t count = 0, capacity = 0;
    droppedFileList(&count, &capacity);
    return capacity;
}

TEST(DropTarget, CopiesEveryPathAsUtf8AndGrowsToExactlyTheNewTotal) {
    IDropTarget* target = programDropTarget();
    DWORD effect = 0;
    POINTL point = {0, 0};

    FileListDataObject two({L"C:\\a.txt", L"C:\\b.txt"});
    ASSERT_EQ(target->Drop(&two, 0, point, &effect), S_OK);
    EXPECT_TRUE(effect & DROPEFFECT_COPY);
    EXPECT_EQ(droppedNames(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt"}));
    // Each name: its UTF-8 length with terminator, plus one.
    EXPECT_EQ(droppedCapacity(), 2u * (9 + 1));

    FileListDataObject three({L"C:\\a.txt", L"C:\\b.txt", L"C:\\caf\u00e9.png"});
    ASSERT_EQ(target->Drop(&three, 0, point, &effect), S_OK);
    EXPECT_EQ(droppedNames(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\caf\xC3\xA9.png"}));
    EXPECT_EQ(droppedCapacity(), 2u * (9 + 1) + (13 + 1));

    FileListDataObject one({L"C:\\z"});
    ASSERT_EQ(target->Drop(&one, 0, point, &effect), S_OK);
    EXPECT_EQ(droppedNames(), (std::vector<std::string>{"C:\\z"}));
    EXPECT_EQ(droppedCapacity(), 2u * (9 + 1) + (13 + 1)); // a smaller drop reuses the buffer
}

TEST(DropTarget, EffectsAndInterfaces) {
    IDropTarget* target = programDropTarget();
    POINTL point = {0, 0};
    FileListDataObject one({L"C:\\z"});
    EXPECT_EQ(target->DragEnter(&one, 0, point, nullptr), E_INVALIDARG);
    EXPECT_EQ(target->DragOver(0, point, nullptr), E_INVALIDARG);
    EXPECT_EQ(target->Drop(&one, 0, point, nullptr), E_INVALIDARG);
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragOver(0, point, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_LINK | DROPEFFECT_COPY));
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_EQ(target->AddRef(), 0u);
    EXPECT_EQ(target->Release(), 0u);
    void* object = nullptr;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &object), S_OK);
    EXPECT_EQ(object, target);
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

} // namespace
