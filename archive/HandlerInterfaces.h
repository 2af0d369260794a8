#pragma once
// The handler's COM-style interfaces, declared slot for slot as the handler library lays them
// out (its IUnknown has no virtual destructor). Objects are shared by reference counting;
// whoever holds a pointer owns one reference. Every method is noexcept: no exception may
// unwind into the handler library.
#include "archive/HandlerTypes.h"

namespace crateview {

struct IUnknown {
    static constexpr GUID iid = IID_IUnknown;
    virtual HRESULT QueryInterface(const GUID& riid, void** out) noexcept = 0;
    virtual uint32_t AddRef() noexcept = 0;
    virtual uint32_t Release() noexcept = 0;

protected:
    ~IUnknown() = default;   // lifetime goes through Release
};

struct ISequentialInStream : IUnknown {
    static constexpr GUID iid = handlerIid(3, 1);
    virtual HRESULT Read(void* data, uint32_t size, uint32_t* processed) noexcept = 0;
};

struct IInStream : ISequentialInStream {
    static constexpr GUID iid = handlerIid(3, 3);
    virtual HRESULT Seek(int64_t offset, uint32_t origin, uint64_t* newPosition) noexcept = 0;
};

struct IStreamGetSize : IUnknown {
    static constexpr GUID iid = handlerIid(3, 6);
    virtual HRESULT GetSize(uint64_t* size) noexcept = 0;
};

struct ISequentialOutStream : IUnknown {
    static constexpr GUID iid = handlerIid(3, 2);
    virtual HRESULT Write(const void* data, uint32_t size, uint32_t* processed) noexcept = 0;
};

struct IProgress : IUnknown {
    static constexpr GUID iid = handlerIid(0, 5);
    virtual HRESULT SetTotal(uint64_t total) noexcept = 0;
    virtual HRESULT SetCompleted(const uint64_t* completed) noexcept = 0;
};

struct IArchiveOpenCallback : IUnknown {
    static constexpr GUID iid = handlerIid(6, 0x10);
    virtual HRESULT SetTotal(const uint64_t* files, const uint64_t* bytes) noexcept = 0;
    virtual HRESULT SetCompleted(const uint64_t* files, const uint64_t* bytes) noexcept = 0;
};

struct IArchiveExtractCallback : IProgress {
    static constexpr GUID iid = handlerIid(6, 0x20);
    virtual HRESULT GetStream(uint32_t index, ISequentialOutStream** out, int32_t askMode) noexcept = 0;
    virtual HRESULT PrepareOperation(int32_t askMode) noexcept = 0;
    virtual HRESULT SetOperationResult(int32_t result) noexcept = 0;
};

struct IInArchive : IUnknown {
    static constexpr GUID iid = handlerIid(6, 0x60);
    virtual HRESULT Open(IInStream* stream, const uint64_t* maxCheckStartPosition,
                         IArchiveOpenCallback* callback) noexcept = 0;
    virtual HRESULT Close() noexcept = 0;
    virtual HRESULT GetNumberOfItems(uint32_t* count) noexcept = 0;
    virtual HRESULT GetProperty(uint32_t index, PROPID propId, PROPVARIANT* value) noexcept = 0;
    virtual HRESULT Extract(const uint32_t* indices, uint32_t count, int32_t testMode,
                            IArchiveExtractCallback* callback) noexcept = 0;
    virtual HRESULT GetArchiveProperty(PROPID propId, PROPVARIANT* value) noexcept = 0;
    virtual HRESULT GetNumberOfProperties(uint32_t* count) noexcept = 0;
    virtual HRESULT GetPropertyInfo(uint32_t index, BSTR* name, PROPID* propId, uint16_t* vt) noexcept = 0;
    virtual HRESULT GetNumberOfArchiveProperties(uint32_t* count) noexcept = 0;
    virtual HRESULT GetArchivePropertyInfo(uint32_t index, BSTR* name, PROPID* propId, uint16_t* vt) noexcept = 0;
};

struct ISetProperties : IUnknown {
    static constexpr GUID iid = handlerIid(6, 0x03);
    virtual HRESULT SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                                  uint32_t count) noexcept = 0;
};

// Operation results reported through SetOperationResult.
enum OperationResult : int32_t { kOpOk = 0, kOpUnsupportedMethod = 1, kOpDataError = 2, kOpCrcError = 3 };
// askMode of GetStream / PrepareOperation.
enum AskMode : int32_t { kAskExtract = 0, kAskTest = 1, kAskSkip = 2 };

}  // namespace crateview
