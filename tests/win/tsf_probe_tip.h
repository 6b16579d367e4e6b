// The probe text service of the host's tests: its identity and what it saw, read by the test
// through the DLL's ProbeTipReport export.
#pragma once

#include <windows.h>

namespace tovi::tsfprobe {

// {7BBB583B-A6D9-47A8-ADB7-39B639265CCC}
constexpr GUID kClsid = {
    0x7bbb583b, 0xa6d9, 0x47a8, {0xad, 0xb7, 0x39, 0xb6, 0x39, 0x26, 0x5c, 0xcc}};
// {821B962A-7BCB-433B-BEA3-D6AFC4AEE590}
constexpr GUID kProfile = {
    0x821b962a, 0x7bcb, 0x433b, {0xbe, 0xa3, 0xd6, 0xaf, 0xc4, 0xae, 0xe5, 0x90}};
constexpr LANGID kLangId = 0x0804;
// The display attribute it sets on what it composes.
// {EAE4D089-D0DD-442D-9053-08556FC51082}
constexpr GUID kAttribute = {
    0xeae4d089, 0xd0dd, 0x442d, {0x90, 0x53, 0x08, 0x55, 0x6f, 0xc5, 0x10, 0x82}};
// What Space commits.
constexpr wchar_t kWord[] = L"\u6d4b\u8bd5";

// Counts and results of what the text service did; one instance per loaded DLL.
struct Report {
    LONG activations;
    LONG deactivations;
    HRESULT keySinkAdvise;      // ITfKeystrokeMgr::AdviseKeyEventSink
    HRESULT threadSinkAdvise;   // ITfSource::AdviseSink(ITfThreadMgrEventSink)
    HRESULT textEditSinkAdvise; // ITfSource::AdviseSink(ITfTextEditSink) on the focused context
    LONG keySinkFocus;          // ITfKeyEventSink::OnSetFocus(TRUE)
    LONG threadFocus;           // ITfThreadMgrEventSink::OnSetFocus
    LONG testKeyDown;           // OnTestKeyDown calls
    LONG keyDown;               // OnKeyDown calls
    LONG keyUp;                 // OnKeyUp calls
    LONG editEnds;              // ITfTextEditSink::OnEndEdit calls
    HRESULT editSession;        // the last RequestEditSession's session result (or failure)
    HRESULT editSessionInner;   // the last edit session's own result
    HRESULT startComposition;   // the last StartComposition
    HRESULT textExt;            // the last ITfContextView::GetTextExt
    RECT textExtRect;
    HRESULT activeView; // the last ITfContext::GetActiveView
    HRESULT endComposition;
    LONG compositionsTerminated; // ITfCompositionSink::OnCompositionTerminated
    HRESULT attribute;           // the last ITfProperty::SetValue of GUID_PROP_ATTRIBUTE
};

using ReportFunction = const Report* (*)();
using ResetFunction = void (*)();

} // namespace tovi::tsfprobe
