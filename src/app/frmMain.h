#pragma once
class frmMain {
public:
    static frmMain& Instance();
    void Show();
};
