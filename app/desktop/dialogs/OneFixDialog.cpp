// "输入固定点和方位角[固定一点一方位的工程网]": the form over OneFixOneAzimuth of the
// one-point-one-direction network. It opens prefilled from the remembered OneFix file; "确定"
// fills the record and runs its OK, which checks the fields and writes the input files, and
// the form stays open when that refuses.
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "app/desktop/dialogs/Dialogs.h"
#include "geodesy/Format.h"
#include "geodesy/UiText.h"
#include "project/OneFixOneAzimuth.h"

namespace vemo {
namespace {

// The fields in the order of OneFixOneAzimuth::kLabels: names (GBK text) or numbers.
struct OneFixField {
  std::string OneFixOneAzimuth::*name;
  double OneFixOneAzimuth::*number;
};
constexpr OneFixField kFields[10] = {
    {&OneFixOneAzimuth::m_PointName, nullptr}, {nullptr, &OneFixOneAzimuth::m_x},
    {nullptr, &OneFixOneAzimuth::m_y},         {nullptr, &OneFixOneAzimuth::m_h},
    {nullptr, &OneFixOneAzimuth::m_B},         {nullptr, &OneFixOneAzimuth::m_L},
    {nullptr, &OneFixOneAzimuth::m_h0},        {&OneFixOneAzimuth::m_From, nullptr},
    {&OneFixOneAzimuth::m_To, nullptr},        {nullptr, &OneFixOneAzimuth::m_Azimuth},
};
// The first seven fields describe the fixed point, the last three the fixed azimuth.
constexpr int kPointFields = 7;

class OneFixDialog final : public QDialog {
 public:
  explicit OneFixDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Tr(OneFixOneAzimuth::kTitle));
    m_Record.OnInitDialog();
    auto* layout = new QVBoxLayout(this);
    QFormLayout* forms[2];
    for (int g = 0; g < 2; ++g) {
      auto* group = new QGroupBox(Tr(OneFixOneAzimuth::kGroups[g]), this);
      forms[g] = new QFormLayout(group);
      layout->addWidget(group);
    }
    for (int i = 0; i < 10; ++i) {
      const OneFixField& f = kFields[i];
      // D.MMSS values show every digit the file keeps; metres to the tenth of a millimetre.
      const bool dms = i == 4 || i == 5 || i == 9;
      // A field the remembered file did not hold readably opens empty, never as a zero.
      const bool unread = (m_Record.m_UnreadFields & (1u << i)) != 0;
      auto* edit = new QLineEdit(unread   ? QString()
                                 : f.name ? FromGbk(m_Record.*f.name)
                                          : QString::fromStdString(Format(dms ? "%.12g" : "%.4f", m_Record.*f.number)),
                                 this);
      edit->setObjectName(QStringLiteral("field%1").arg(i));
      forms[i < kPointFields ? 0 : 1]->addRow(Tr(OneFixOneAzimuth::kLabels[i]), edit);
      m_Edits[i] = edit;
    }
    layout->addLayout(OkCancelRow(this, TrNoop(u8"确定")));
    m_Record.CheckRemembered();  // says which fields are to be entered again, when any
  }

  const OneFixOneAzimuth& Record() const { return m_Record; }

  void accept() override {
    OneFixOneAzimuth record = m_Record;
    for (int i = 0; i < 10; ++i) {
      const OneFixField& f = kFields[i];
      if (f.name) record.*f.name = ToGbk(m_Edits[i]->text().trimmed());
      else if (!ReadNumberField(m_Edits[i], Tr(OneFixOneAzimuth::kLabels[i]), record.*f.number)) return;
    }
    // The record's OK checks the names against the network and writes the files; after its
    // message the form stays open for a correction.
    if (!record.OnOK()) return;
    m_Record = record;
    QDialog::accept();
  }

 private:
  OneFixOneAzimuth m_Record;
  QLineEdit* m_Edits[10] = {};
};

}  // namespace

std::optional<OneFixOneAzimuth> RunOneFixDialog(QWidget* parent) {
  OneFixDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Record();
}

}  // namespace vemo
