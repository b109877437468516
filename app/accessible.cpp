// The colour buttons to assistive technology (winshared.h): each answers
// WM_GETOBJECT with an accessible object of its own, a radio button of the
// colour group. Its role, name and state come from the window logic
// (WM_COLORACCESS) at each question; where it is on the screen, its parent
// and its neighbours from the system's own object of the button's client
// area, which it holds. The object is COM's in plain C form: a record whose
// first member points to a table of functions.
#define CINTERFACE
#define COBJMACROS
#include "app/winshared.h"

#include <oleacc.h>
#include <stdlib.h>

static_assert(kRoleRadioButton == ROLE_SYSTEM_RADIOBUTTON, "the logic's role is the system's");
static_assert(kStateFocused == STATE_SYSTEM_FOCUSED && kStateChecked == STATE_SYSTEM_CHECKED &&
                  kStateFocusable == STATE_SYSTEM_FOCUSABLE,
              "the logic's state bits are the system's");

struct ColorObject {
    IAccessible face;  // first: the record's address is its interface's
    LONG references;
    HWND button;
    IAccessible *system;  // the system's object of the button's client area
};

static ColorObject *Self(IAccessible *face) { return (ColorObject *)face; }

static bool IsSelf(const VARIANT &child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// What the window logic says of the object's button now: E_INVALIDARG for a
// child (it has none), E_FAIL once the button is gone.
static HRESULT Describe(IAccessible *face, const VARIANT &child, ColorButtonAccess *access)
{
    HWND button = Self(face)->button;
    if (!IsSelf(child))
        return E_INVALIDARG;
    bool told = IsWindow(button) &&
                SendMessageW(GetParent(button), WM_COLORACCESS, GetDlgCtrlID(button), (LPARAM)access) != 0;
    return told ? S_OK : E_FAIL;
}

// A BSTR of a UTF-8 text of up to 63 UTF-16 units; null when it does not fit.
static BSTR MakeBstr(const char *text)
{
    wchar_t wide[64];
    if (!MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, 64))
        return nullptr;
    return SysAllocString(wide);
}

static HRESULT STDMETHODCALLTYPE QueryInterface(IAccessible *face, REFIID iid, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IAccessible)) {
        *out = face;
        IAccessible_AddRef(face);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE AddRef(IAccessible *face) { return (ULONG)InterlockedIncrement(&Self(face)->references); }

static ULONG STDMETHODCALLTYPE Release(IAccessible *face)
{
    ColorObject *self = Self(face);
    LONG left = InterlockedDecrement(&self->references);
    if (left == 0) {
        IAccessible_Release(self->system);
        free(self);
    }
    return (ULONG)left;
}

// No type information: clients call the methods through the table.
static HRESULT STDMETHODCALLTYPE GetTypeInfoCount(IAccessible *, UINT *count)
{
    *count = 0;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE GetTypeInfo(IAccessible *, UINT, LCID, ITypeInfo **) { return E_NOTIMPL; }
static HRESULT STDMETHODCALLTYPE GetIDsOfNames(IAccessible *, REFIID, LPOLESTR *, UINT, LCID, DISPID *)
{
    return E_NOTIMPL;
}
static HRESULT STDMETHODCALLTYPE Invoke(IAccessible *, DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                        EXCEPINFO *, UINT *)
{
    return E_NOTIMPL;
}

// The system's object knows the button's window: its parent, place and
// neighbours, what lies under a point, and the texts the logic leaves.
static HRESULT STDMETHODCALLTYPE GetParentObject(IAccessible *face, IDispatch **parent)
{
    return IAccessible_get_accParent(Self(face)->system, parent);
}
static HRESULT STDMETHODCALLTYPE GetValue(IAccessible *face, VARIANT child, BSTR *value)
{
    return IAccessible_get_accValue(Self(face)->system, child, value);
}
static HRESULT STDMETHODCALLTYPE GetDescription(IAccessible *face, VARIANT child, BSTR *text)
{
    return IAccessible_get_accDescription(Self(face)->system, child, text);
}
static HRESULT STDMETHODCALLTYPE GetHelp(IAccessible *face, VARIANT child, BSTR *help)
{
    return IAccessible_get_accHelp(Self(face)->system, child, help);
}
static HRESULT STDMETHODCALLTYPE GetHelpTopic(IAccessible *face, BSTR *file, VARIANT child, LONG *topic)
{
    return IAccessible_get_accHelpTopic(Self(face)->system, file, child, topic);
}
static HRESULT STDMETHODCALLTYPE GetShortcut(IAccessible *face, VARIANT child, BSTR *keys)
{
    return IAccessible_get_accKeyboardShortcut(Self(face)->system, child, keys);
}
static HRESULT STDMETHODCALLTYPE GetSelection(IAccessible *face, VARIANT *selected)
{
    return IAccessible_get_accSelection(Self(face)->system, selected);
}
static HRESULT STDMETHODCALLTYPE Select(IAccessible *face, LONG flags, VARIANT child)
{
    return IAccessible_accSelect(Self(face)->system, flags, child);
}
static HRESULT STDMETHODCALLTYPE Location(IAccessible *face, LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child)
{
    return IAccessible_accLocation(Self(face)->system, left, top, width, height, child);
}
static HRESULT STDMETHODCALLTYPE Navigate(IAccessible *face, LONG direction, VARIANT start, VARIANT *end)
{
    return IAccessible_accNavigate(Self(face)->system, direction, start, end);
}
static HRESULT STDMETHODCALLTYPE HitTest(IAccessible *face, LONG x, LONG y, VARIANT *child)
{
    return IAccessible_accHitTest(Self(face)->system, x, y, child);
}

// A radio button has no children of its own.
static HRESULT STDMETHODCALLTYPE GetChildCount(IAccessible *, LONG *count)
{
    *count = 0;
    return S_OK;
}
static HRESULT STDMETHODCALLTYPE GetChild(IAccessible *, VARIANT, IDispatch **child)
{
    *child = nullptr;
    return E_INVALIDARG;
}

static HRESULT STDMETHODCALLTYPE GetName(IAccessible *face, VARIANT child, BSTR *name)
{
    *name = nullptr;
    ColorButtonAccess access;
    HRESULT told = Describe(face, child, &access);
    if (FAILED(told))
        return told;
    *name = MakeBstr(access.name);
    return *name ? S_OK : E_OUTOFMEMORY;
}

// The window's own state bits that the system knows: hidden, disabled, off
// the screen.
static LONG WindowStateBits(IAccessible *face, const VARIANT &child)
{
    VARIANT window;
    VariantInit(&window);
    LONG bits = 0;
    if (SUCCEEDED(IAccessible_get_accState(Self(face)->system, child, &window)) && window.vt == VT_I4)
        bits = window.lVal & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN);
    VariantClear(&window);
    return bits;
}

// The role, or the state bits (the logic's and the window's), as a number.
static HRESULT DescribeNumber(IAccessible *face, const VARIANT &child, bool state, VARIANT *number)
{
    VariantInit(number);
    ColorButtonAccess access;
    HRESULT told = Describe(face, child, &access);
    if (FAILED(told))
        return told;
    number->vt = VT_I4;
    number->lVal = state ? (LONG)access.state | WindowStateBits(face, child) : access.role;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE GetRole(IAccessible *face, VARIANT child, VARIANT *role)
{
    return DescribeNumber(face, child, false, role);
}

static HRESULT STDMETHODCALLTYPE GetState(IAccessible *face, VARIANT child, VARIANT *state)
{
    return DescribeNumber(face, child, true, state);
}

static HRESULT STDMETHODCALLTYPE GetFocusChild(IAccessible *face, VARIANT *focused)
{
    VariantInit(focused);
    if (GetFocus() != Self(face)->button)
        return S_FALSE;
    focused->vt = VT_I4;
    focused->lVal = CHILDID_SELF;
    return S_OK;
}

// A radio button's action is the check box's word for choosing it.
static HRESULT STDMETHODCALLTYPE GetDefaultAction(IAccessible *, VARIANT child, BSTR *action)
{
    *action = nullptr;
    if (!IsSelf(child))
        return E_INVALIDARG;
    *action = SysAllocString(L"Check");
    return *action ? S_OK : E_OUTOFMEMORY;
}

// Chooses the colour as a click does.
static HRESULT STDMETHODCALLTYPE DoDefaultAction(IAccessible *face, VARIANT child)
{
    HWND button = Self(face)->button;
    if (!IsSelf(child))
        return E_INVALIDARG;
    if (!IsWindow(button))
        return E_FAIL;
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), (LPARAM)button);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutName(IAccessible *, VARIANT, BSTR) { return E_NOTIMPL; }
static HRESULT STDMETHODCALLTYPE PutValue(IAccessible *, VARIANT, BSTR) { return E_NOTIMPL; }

static IAccessibleVtbl ColorObjectCalls = {
    QueryInterface, AddRef,        Release,       GetTypeInfoCount, GetTypeInfo,      GetIDsOfNames, Invoke,
    GetParentObject, GetChildCount, GetChild,     GetName,          GetValue,         GetDescription, GetRole,
    GetState,       GetHelp,       GetHelpTopic,  GetShortcut,      GetFocusChild,         GetSelection,  GetDefaultAction,
    Select,         Location,      Navigate,      HitTest,          DoDefaultAction,  PutName,       PutValue};

LRESULT ColorButtonObject(HWND button, WPARAM wParam)
{
    IAccessible *system = nullptr;
    if (FAILED(CreateStdAccessibleObject(button, OBJID_CLIENT, IID_IAccessible, (void **)&system)))
        return 0;
    ColorObject *made = (ColorObject *)calloc(1, sizeof(ColorObject));
    if (!made) {
        IAccessible_Release(system);
        return 0;
    }
    made->face.lpVtbl = &ColorObjectCalls;
    made->references = 1;
    made->button = button;
    made->system = system;
    // The client's reference is the result's; this function's goes.
    LRESULT result = LresultFromObject(IID_IAccessible, wParam, (IUnknown *)&made->face);
    IAccessible_Release(&made->face);
    return result > 0 ? result : 0;
}
