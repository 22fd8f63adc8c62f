#pragma once
// IDispatch for _ClsPrint over the type information embedded in this DLL.
//
// Calls go through ITypeInfo::Invoke on the interface's virtual slots, after every omitted
// optional argument has been given its value (CompletedArguments). The two methods that
// return the record rePaPer have a path of their own, because ITypeInfo::Invoke of some
// systems refuses record results: the arguments are converted here, the slot is called, and
// the record goes back as VT_RECORD. A failure the method reported becomes DISP_E_EXCEPTION
// with its HRESULT and description.

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include "com/cls_print_interface.h"
#include "com/error_info.h"
#include "platform/win32/com_ptr.h"

namespace sheetlore::com {

class DualDispatch {
 public:
  HRESULT GetTypeInfo(UINT index, ITypeInfo** info);
  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
  // failure is where object's methods record what they reported.
  HRESULT Invoke(_ClsPrint* object, ReportedFailure& failure, DISPID id, WORD flags,
                 DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                 UINT* argumentError);

 private:
  HRESULT Load() noexcept;
  HRESULT InvokeRecordMethod(_ClsPrint* object, DISPID id, WORD flags, const DISPPARAMS& parameters,
                             VARIANT* result, UINT* argumentError);

  win32::com_ptr<ITypeInfo> dispatchView_;   // what callers see: the dispinterface
  win32::com_ptr<ITypeInfo> interfaceView_;  // the virtual slots, for ITypeInfo::Invoke
  win32::com_ptr<IRecordInfo> record_;       // rePaPer
};

}  // namespace sheetlore::com
