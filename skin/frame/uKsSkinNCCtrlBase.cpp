#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/TypInfo.h"

namespace ks {

// Every value is always stored: none has a declared default.
const fw::TClassInfo& TNCCtrlPos::StaticClass()
{
    static const fw::TClassInfo& info = fw::DefineClass<TNCCtrlPos, fw::TPersistent>("TNCCtrlPos")
                                            .Enum("Align", &TNCCtrlPos::Align, &TNCCtrlPos::SetAlign,
                                                  {"caLeft", "caRight"})
                                            .Int("XValue", &TNCCtrlPos::XValue, &TNCCtrlPos::SetXValue)
                                            .Int("YValue", &TNCCtrlPos::YValue, &TNCCtrlPos::SetYValue)
                                            .Bool("UseDefault", &TNCCtrlPos::UseDefault, &TNCCtrlPos::SetUseDefault)
                                            .Register();
    return info;
}
FW_REGISTER_CLASS(TNCCtrlPos)

void TNCCtrlPos::SetAlign(TNCCtrlAlign v)
{
    if (v == m_align)
        return;
    m_align = v;
    Changed();
}

void TNCCtrlPos::SetXValue(int v)
{
    if (v == m_xValue)
        return;
    m_xValue = v;
    Changed();
}

void TNCCtrlPos::SetYValue(int v)
{
    if (v == m_yValue)
        return;
    m_yValue = v;
    Changed();
}

void TNCCtrlPos::Changed()
{
    if (!m_locked && OnChange)
        OnChange(this);
}

void TNCCtrlPos::Assign(const fw::TPersistent& source)
{
    const auto* s = dynamic_cast<const TNCCtrlPos*>(&source);
    if (s == nullptr) {
        fw::TPersistent::Assign(source);
        return;
    }
    SetAlign(s->m_align);
    SetXValue(s->m_xValue);
    SetYValue(s->m_yValue);
    m_useDefault = s->m_useDefault;
}

}  // namespace ks
