// OLE drag and drop of files onto the program's window (Windows only).
#pragma once

#include <ole2.h>

#include "engine/program/input_manager.h"

// A static object: AddRef and Release return 0 and it is never freed.
class InputManager::DropTarget : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
};

IDropTarget* programDropTarget();

// The dropped-files list of gInput after a drop: the buffer, its capacity and count.
// Exposed for tests that drive Drop with a real data object.
const char* droppedFileList(uint32_t* count, uint32_t* capacity);
