// IuApplication: what the skin's controls call on the controller. The slot order is fixed
// (the skin controls were built against it), after the reference counting that shared_ptr
// provides here.
#pragma once
#include <string>

namespace orlo {

class IuApplication {
  public:
    virtual ~IuApplication() = default;
    virtual void StartGame() = 0;
    virtual void CloseApplication() = 0;
    virtual void ShowRegisterDialog() = 0;
    virtual void ShowChangePasswordDialog() = 0;
    virtual void ShowGetBackPasswordDialog() = 0;
    virtual void OpenURL(const std::string& url) = 0;
    virtual void ShowSettingsDialog() = 0;
    virtual void Repair() = 0;
    virtual void ToggleResolutionList() = 0;
    virtual void ShowPhoneRegisterDialog() = 0;
    virtual void SetLoginPasswd() = 0;
    virtual void LoginQueryQQandWXUrl(int kind) = 0;  // 1 = WeChat, 2 = QQ
    virtual void Start360() = 0;
};

}  // namespace orlo
