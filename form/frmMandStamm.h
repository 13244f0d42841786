#pragma once
#include <QDialog>

namespace xov { class Datenquelle; }

class frmMandStamm : public QDialog {
    Q_OBJECT
public:
    explicit frmMandStamm(QWidget* parent = nullptr);
    ~frmMandStamm() override;

    xov::Datenquelle* MAData;
    xov::Datenquelle* FAData;
    xov::Datenquelle* KKData;
};
