#pragma once
// The About box: software version, release number, the logo and a link to the maker's site.

#include <QDialog>

namespace Ui {
class Dialog_Software_Info;
}

class Dialog_Software_Info : public QDialog {
    Q_OBJECT

public:
    explicit Dialog_Software_Info(QWidget *parent = nullptr);
    ~Dialog_Software_Info() override;

    static constexpr const char *kVersion = "V2.0.6.0";
    static constexpr int kRelease = 2026010801;
    static constexpr const char *kWebSite = "https://www.example.com";

private:
    Ui::Dialog_Software_Info *ui;
};
