// Text Services Framework declarations that MinGW-w64's msctf.h lacks: the extended activation
// interface of text services and the flags of profile activation.
#pragma once

#include <ctfutb.h>
#include <msctf.h>
#include <olectl.h>
#include <textstor.h>

#ifndef TF_E_SYNCHRONOUS
#define TF_E_LOCKED MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0500)
#define TF_E_COMPOSITION_REJECTED MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0508)
#define TF_E_INVALIDPOS TS_E_INVALIDPOS
#define TF_E_NOOBJECT TS_E_NOOBJECT
#define TF_E_SYNCHRONOUS TS_E_SYNCHRONOUS
#define TF_S_ASYNC TS_S_ASYNC
#endif
#ifndef TF_INVALID_GUIDATOM
#define TF_INVALID_GUIDATOM 0
#endif
#ifndef TF_INVALID_EDIT_COOKIE
#define TF_INVALID_EDIT_COOKIE 0
#endif
#ifndef TF_CLIENTID_NULL
#define TF_CLIENTID_NULL 0
#endif
#ifndef TF_IPPMF_FORPROCESS
#define TF_IPPMF_FORPROCESS 0x10000000
#define TF_IPPMF_FORSESSION 0x20000000
#define TF_IPPMF_FORSYSTEMALL 0x40000000
#define TF_IPPMF_ENABLEPROFILE 0x00000001
#define TF_IPPMF_DISABLEPROFILE 0x00000002
#define TF_IPPMF_DONTCARECURRENTINPUTLANGUAGE 0x00000004
#endif

#ifndef __ITfTextInputProcessorEx_INTERFACE_DEFINED__
#define __ITfTextInputProcessorEx_INTERFACE_DEFINED__
// {6E4E2102-F9CD-433D-B496-303CE03A6507}
MIDL_INTERFACE("6e4e2102-f9cd-433d-b496-303ce03a6507")
ITfTextInputProcessorEx : public ITfTextInputProcessor {
    virtual HRESULT STDMETHODCALLTYPE ActivateEx(ITfThreadMgr * threadManager, TfClientId client,
                                                 DWORD flags) = 0;
};
__CRT_UUID_DECL(ITfTextInputProcessorEx, 0x6e4e2102, 0xf9cd, 0x433d, 0xb4, 0x96, 0x30, 0x3c, 0xe0,
                0x3a, 0x65, 0x07)
inline constexpr IID IID_ITfTextInputProcessorEx = {
    0x6e4e2102, 0xf9cd, 0x433d, {0xb4, 0x96, 0x30, 0x3c, 0xe0, 0x3a, 0x65, 0x07}};
#endif

#ifndef __ITfTextLayoutSink_INTERFACE_DEFINED__
#define __ITfTextLayoutSink_INTERFACE_DEFINED__
enum TfLayoutCode { TF_LC_CREATE = 0, TF_LC_CHANGE = 1, TF_LC_DESTROY = 2 };
// {2AF2D06A-DD5B-4927-A0B4-54F19C91FADE}
MIDL_INTERFACE("2af2d06a-dd5b-4927-a0b4-54f19c91fade")
ITfTextLayoutSink : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnLayoutChange(ITfContext * context, TfLayoutCode code,
                                                     ITfContextView * view) = 0;
};
__CRT_UUID_DECL(ITfTextLayoutSink, 0x2af2d06a, 0xdd5b, 0x4927, 0xa0, 0xb4, 0x54, 0xf1, 0x9c, 0x91,
                0xfa, 0xde)
inline constexpr IID IID_ITfTextLayoutSink = {
    0x2af2d06a, 0xdd5b, 0x4927, {0xa0, 0xb4, 0x54, 0xf1, 0x9c, 0x91, 0xfa, 0xde}};
#endif
