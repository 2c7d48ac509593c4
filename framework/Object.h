// CObject and CRuntimeClass: the small run-time class test (IsKindOf) that
// windows and menus answer. A class takes part with DECLARE_DYNAMIC in its
// body and IMPLEMENT_DYNAMIC(Class, Base) in one source file; a class without
// them answers as its nearest base that has them.
#pragma once

#include <windows.h>

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;

    // TRUE when this class is pBaseClass or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const
    {
        for (const CRuntimeClass* p = this; p != NULL; p = p->m_pBaseClass)
            if (p == pBaseClass)
                return TRUE;
        return FALSE;
    }
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static const CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    const CRuntimeClass class_name::class##class_name = {#class_name, RUNTIME_CLASS(base_class_name)}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class CObject
{
public:
    static const CRuntimeClass classCObject;

    virtual ~CObject() {}
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    BOOL IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

protected:
    CObject() {}

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

inline const CRuntimeClass CObject::classCObject = {"CObject", NULL};
