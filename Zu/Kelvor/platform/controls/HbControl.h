#pragma once
#include <functional>
#include <string>
#include <string_view>

class QWidget;
class QLabel;

// Common part of the control library's controls: a Qt widget with an optional
// label. The label text is also the widget's accessible name.
class CHbControl {
public:
    CHbControl() = default;
    virtual ~CHbControl() = default;
    CHbControl(const CHbControl&) = delete;
    CHbControl& operator=(const CHbControl&) = delete;

    virtual void Attach(QWidget* widget, QLabel* label);
    QWidget* Widget() const { return m_pWidget; }

    void SetVisible(bool visible);
    bool GetVisible() const;
    void SetEnabled(bool enabled);
    bool GetEnabled() const;
    void SetLabelText(std::string_view text);
    std::string GetLabelText() const;
    void SetHint(std::string_view text);
    std::string GetHint() const;
    void SetFocus();
    bool HasFocus() const;

    // The click event (event dispatch id 1), raised after the control changed its own state.
    void OnClick(std::function<void()> handler);

protected:
    virtual void ConnectClick() {}
    void RaiseClick() const;

    QWidget* m_pWidget = nullptr;
    QLabel* m_pLabel = nullptr;
    std::function<void()> m_onClick;
};
