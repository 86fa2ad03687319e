#include "app/drop_target.h"

#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

namespace {
InputManager::DropTarget gDropTarget;

HRESULT acceptCopy(DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect |= DROPEFFECT_COPY;
    return S_OK;
}
} // namespace

IDropTarget* programDropTarget() { return &gDropTarget; }

HRESULT STDMETHODCALLTYPE InputManager::DropTarget::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE InputManager::DropTarget::AddRef() { return 0; }
ULONG STDMETHODCALLTYPE InputManager::DropTarget::Release() { return 0; }

HRESULT STDMETHODCALLTYPE InputManager::DropTarget::DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) {
    return acceptCopy(effect);
}

HRESULT STDMETHODCALLTYPE InputManager::DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    return acceptCopy(effect);
}

HRESULT STDMETHODCALLTYPE InputManager::DropTarget::DragLeave() { return S_OK; }

HRESULT STDMETHODCALLTYPE InputManager::DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    HRESULT result = acceptCopy(effect);
    if (result != S_OK) return result;
    if (!data) return E_INVALIDARG;

    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    result = data->GetData(&format, &medium);
    if (FAILED(result)) return result;

    HDROP drop = static_cast<HDROP>(GlobalLock(medium.hGlobal));
    if (!drop) {
        ReleaseStgMedium(&medium);
        return E_UNEXPECTED;
    }
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);

    // First pass: sizes. Each name is at most 512 wide characters.
    uint32_t needed = 0;
    WCHAR name[513];
    for (UINT i = 0; i < count; ++i) {
        name[0] = 0;
        DragQueryFileW(drop, i, name, 512);
        int bytes = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
        if (bytes < 1) bytes = 1;
        needed += static_cast<uint32_t>(bytes) + 1;
    }
    if (needed == 0) needed = 1; // room for the list's closing empty string

    if (gInput.droppedCapacity < needed || !gInput.droppedFiles) {
        free(gInput.droppedFiles);
        gInput.droppedFiles = static_cast<char*>(malloc(needed));
        gInput.droppedCapacity = gInput.droppedFiles ? needed : 0;
    }
    if (!gInput.droppedFiles) {
        gInput.droppedCount = 0;
        GlobalUnlock(medium.hGlobal);
        ReleaseStgMedium(&medium);
        return E_OUTOFMEMORY;
    }

    uint32_t at = 0;
    for (UINT i = 0; i < count; ++i) {
        name[0] = 0;
        DragQueryFileW(drop, i, name, 512);
        int bytes = WideCharToMultiByte(CP_UTF8, 0, name, -1, gInput.droppedFiles + at,
                                        static_cast<int>(gInput.droppedCapacity - at), nullptr, nullptr);
        if (bytes < 1) gInput.droppedFiles[at] = 0, bytes = 1;
        at += static_cast<uint32_t>(bytes);
    }
    gInput.droppedFiles[at] = 0;
    gInput.droppedCount = count;

    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return S_OK;
}

const char* droppedFileList(uint32_t* count, uint32_t* capacity) {
    *count = gInput.droppedCount;
    *capacity = gInput.droppedCapacity;
    return gInput.droppedFiles;
}
