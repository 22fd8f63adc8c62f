#pragma once
// The class factory of ClsPrint, as DllGetClassObject hands it out.

#include "platform/win32/windows_api.h"

#include <unknwn.h>

#include "com/com_object.h"

namespace sheetlore::com {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  // Locks count like live objects: the DLL stays loaded while a lock is held.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~ClassFactory() override = default;
  friend class ComObject<ClassFactory, IClassFactory>;
};

}  // namespace sheetlore::com
