#include "ui/Accessible.h"

#include "core/Texts.h"
#include "ui/Form.h"
#include "win/UserText.h"

#include <oleacc.h>

#include <algorithm>
#include <string>

namespace ui {

namespace {

// The calls of oleacc, oleaut32 and ole32 the answers need, found at the first question.
struct Library {
    HRESULT(WINAPI* createStandard)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
    HRESULT(WINAPI* objectFromWindow)(HWND, DWORD, REFIID, void**) = nullptr;
    BSTR(WINAPI* allocString)(const OLECHAR*) = nullptr;

    bool Complete() const { return createStandard && lresultFromObject && objectFromWindow && allocString; }
};

template <typename Function>
void Find(const char* module, const char* name, Function& function)
{
    // From the system folder only: never a planted copy beside the program.
    if (HMODULE loaded = LoadLibraryExA(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}

const Library& Calls()
{
    static const Library library = [] {
        Library calls;
        HRESULT(WINAPI * initialize)(LPVOID, DWORD) = nullptr;
        Find("ole32.dll", "CoInitializeEx", initialize);
        // The window's own thread; an apartment set up before is as good.
        if (!initialize || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
            return calls;
        Find("oleacc.dll", "CreateStdAccessibleObject", calls.createStandard);
        Find("oleacc.dll", "LresultFromObject", calls.lresultFromObject);
        Find("oleacc.dll", "AccessibleObjectFromWindow", calls.objectFromWindow);
        Find("oleaut32.dll", "SysAllocString", calls.allocString);
        return calls;
    }();
    return library;
}

HRESULT Text(const std::string& windows1252, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = windows1252.empty() ? nullptr : Calls().allocString(win::FromWindows1252(windows1252).c_str());
    return *out ? S_OK : S_FALSE;
}

void SetNumber(VARIANT* out, LONG value)
{
    out->vt = VT_I4;
    out->lVal = value;
}

bool IsLink(const GraphicControl& area)
{
    return !area.Hint().empty();
}

// The system's object for a window, under the program's name for it; for a form, with
// the form's hit areas and child windows as its children.
class NamedObject final : public IAccessible {
public:
    NamedObject(HWND window, IAccessible* standard, std::string name, Form* form)
        : window_(window), standard_(standard), name_(std::move(name)), form_(form)
    {
    }
    NamedObject(const NamedObject&) = delete;
    NamedObject& operator=(const NamedObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (id != __uuidof(IUnknown) && id != __uuidof(IDispatch) && id != __uuidof(IAccessible))
            return E_NOINTERFACE;
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (const Form* form = LiveForm()) {
            *count = static_cast<long>(form->TabOrder().size() + form->WindowedControls().size());
            return S_OK;
        }
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        *object = nullptr;
        if (Area(child))
            return S_FALSE;
        if (HWND window = ChildWindow(child))
            return Calls().objectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IDispatch),
                                            reinterpret_cast<void**>(object));
        return LiveForm() && !IsSelf(child) ? E_INVALIDARG : standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (IsSelf(child))
            return Text(name_, name);
        if (const GraphicControl* area = Area(child))
            return Text(area->AccessibleName(), name);
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        if (const GraphicControl* area = Area(child))
            return Text(area->Hint(), value);
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        if (Area(child))
            return Text({}, text);
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (const GraphicControl* area = Area(child)) {
            SetNumber(role, IsLink(*area) ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PUSHBUTTON);
            return S_OK;
        }
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (const GraphicControl* area = Area(child)) {
            // A hidden hit area is a greyed-out button: the form draws its inactive picture.
            LONG flags = area->Visible() ? STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_UNAVAILABLE;
            if (LiveForm()->FocusedArea() == area)
                flags |= STATE_SYSTEM_FOCUSED;
            if (IsLink(*area))
                flags |= STATE_SYSTEM_LINKED;
            SetNumber(state, flags);
            return S_OK;
        }
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        if (Area(child))
            return Text({}, help);
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override
    {
        if (Area(child))
            return Text({}, keys);
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (const Form* form = LiveForm()) {
            const auto& areas = form->TabOrder();
            if (const GraphicControl* area = form->FocusedArea())
                return Child(std::find(areas.begin(), areas.end(), area) - areas.begin() + 1, focus);
            const auto& windows = form->WindowedControls();
            for (size_t i = 0; i < windows.size(); ++i)
                if (windows[i]->Handle() == GetFocus())
                    return Child(static_cast<long>(areas.size() + i + 1), focus);
        }
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selected) override
    {
        return standard_->get_accSelection(selected);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (const GraphicControl* area = Area(child))
            return Text(IsLink(*area) ? veld::texts::kOpenAction : veld::texts::kPressAction, action);
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        if (GraphicControl* area = Area(child)) {
            if (!(flags & SELFLAG_TAKEFOCUS) || !area->Visible())
                return S_FALSE;
            LiveForm()->FocusArea(*area);
            return S_OK;
        }
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (const GraphicControl* area = Area(child)) {
            // Where the form hit-tests it, on the screen.
            const Bounds& bounds = area->GetBounds();
            POINT corner{bounds.left, bounds.top};
            ClientToScreen(window_, &corner);
            *left = corner.x;
            *top = corner.y;
            *width = bounds.width;
            *height = bounds.height;
            return S_OK;
        }
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        const Form* form = LiveForm();
        if (!form || start.vt != VT_I4)
            return standard_->accNavigate(direction, start, end);
        const long count = static_cast<long>(form->TabOrder().size() + form->WindowedControls().size());
        const long from = start.lVal;
        if (from == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD)
            return Child(1, end);
        if (from == CHILDID_SELF && direction == NAVDIR_LASTCHILD)
            return Child(count, end);
        if (from > 0 && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT))
            return Child(from + 1, end);
        if (from > 0 && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT))
            return Child(from - 1, end);
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override
    {
        if (const Form* form = LiveForm()) {
            POINT point{x, y};
            ScreenToClient(window_, &point);
            const auto& windows = form->WindowedControls();
            for (size_t i = 0; i < windows.size(); ++i)
                if (windows[i]->Visible() && windows[i]->GetBounds().Contains(point))
                    return Child(static_cast<long>(form->TabOrder().size() + i + 1), found);
            const auto& areas = form->TabOrder();
            const auto area = std::find(areas.begin(), areas.end(), form->ControlAt(point));
            if (area != areas.end())
                return Child(area - areas.begin() + 1, found);
        }
        return standard_->accHitTest(x, y, found);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (const GraphicControl* area = Area(child)) {
            if (!area->Visible())
                return DISP_E_MEMBERNOTFOUND;
            // A command may open a modal box: the caller gets its answer first.
            LiveForm()->PostClick(*area);
            return S_OK;
        }
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~NamedObject() { standard_->Release(); }

    // The form while its window lives: a screen reader may keep the object longer.
    Form* LiveForm() const
    {
        return form_ && reinterpret_cast<Form*>(GetWindowLongPtrA(window_, GWLP_USERDATA)) == form_ &&
                       form_->Handle() == window_
                   ? form_
                   : nullptr;
    }
    static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    GraphicControl* Area(const VARIANT& child) const
    {
        const Form* form = LiveForm();
        if (!form || child.vt != VT_I4 || child.lVal < 1 || static_cast<size_t>(child.lVal) > form->TabOrder().size())
            return nullptr;
        return form->TabOrder()[static_cast<size_t>(child.lVal) - 1];
    }
    HWND ChildWindow(const VARIANT& child) const
    {
        const Form* form = LiveForm();
        if (!form || child.vt != VT_I4 || child.lVal < 1)
            return nullptr;
        const size_t index = static_cast<size_t>(child.lVal) - 1;
        const size_t areas = form->TabOrder().size();
        if (index < areas || index >= areas + form->WindowedControls().size())
            return nullptr;
        return form->WindowedControls()[index - areas]->Handle();
    }
    // Child id as MSAA hands it out: a number for a hit area, an object for a window.
    HRESULT Child(long id, VARIANT* out) const
    {
        out->vt = VT_EMPTY;
        VARIANT child;
        SetNumber(&child, id);
        if (Area(child)) {
            *out = child;
            return S_OK;
        }
        HWND window = ChildWindow(child);
        if (!window)
            return S_FALSE;
        IDispatch* object = nullptr;
        const HRESULT result = Calls().objectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IDispatch),
                                                        reinterpret_cast<void**>(&object));
        if (FAILED(result))
            return result;
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
    }

    ULONG references_ = 1;
    HWND window_;
    IAccessible* standard_;
    std::string name_;
    Form* form_;
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const std::string& name, Form* form) noexcept
{
    const auto object = static_cast<LONG>(static_cast<DWORD>(lParam));
    if (object != OBJID_CLIENT && !(form && object == OBJID_WINDOW))
        return 0;
    try {
        const Library& calls = Calls();
        IAccessible* standard = nullptr;
        if (!calls.Complete() ||
            FAILED(calls.createStandard(window, object, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
            return 0;
        auto* answer = new NamedObject(window, standard, name, object == OBJID_CLIENT ? form : nullptr);
        const LRESULT result = calls.lresultFromObject(__uuidof(IAccessible), wParam, answer);
        answer->Release();
        return result;
    } catch (...) {
        // No memory for the answer: the system's own object is better than none.
        return 0;
    }
}

}  // namespace ui
