#include "app/desktop/DesktopHost.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/desktop/MainWindow.h"
#include "app/desktop/QtText.h"
#include "app/desktop/Translations.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"

namespace vemo {
namespace {

// The progress dialog "处理信息": "完成百分比", the percentage, the bar and "取消". It is
// modeless; the computation keeps it painted through the host's message pump.
class ProgressDialog final : public QDialog {
 public:
  ProgressDialog(QWidget* parent, std::function<void()> onCancel) : QDialog(parent) {
    setWindowTitle(Tr(u8"处理信息"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    m_Text = new QLabel(this);
    m_Text->setWordWrap(true);
    layout->addWidget(m_Text);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(Tr(u8"完成百分比"), this));
    m_Percent = new QLabel(QStringLiteral("0%"), this);
    m_Percent->setObjectName(QStringLiteral("percent"));
    row->addWidget(m_Percent);
    row->addStretch();
    layout->addLayout(row);
    m_Bar = new QProgressBar(this);
    m_Bar->setRange(0, 100);
    m_Bar->setValue(0);
    layout->addWidget(m_Bar);
    auto* cancel = new QPushButton(Tr(u8"取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, [onCancel] {
      if (onCancel) onCancel();
    });
    layout->addWidget(cancel, 0, Qt::AlignHCenter);
    resize(334, 164);  // 167 x 82 dialog units
  }
  // The computation, not the person, ends the dialog.
  void reject() override {}

  QLabel* m_Text;
  QLabel* m_Percent;
  QProgressBar* m_Bar;
};

class DesktopProgressWindow final : public ProgressWindow {
 public:
  DesktopProgressWindow(QWidget* parent, std::function<void()> onCancel)
      : m_Dialog(new ProgressDialog(parent, std::move(onCancel))) {
    m_Dialog->show();
    m_Dialog->raise();
    QCoreApplication::processEvents();
  }
  ~DesktopProgressWindow() override { delete m_Dialog.data(); }
  void SetTitle(const std::string& gbk) override {
    if (m_Dialog) m_Dialog->setWindowTitle(FromGbk(gbk));
  }
  void SetText(const std::string& gbk) override {
    if (m_Dialog) m_Dialog->m_Text->setText(FromGbk(gbk));
  }
  void SetPercentText(const std::string& gbk) override {
    if (!m_Dialog) return;
    const QString text = FromGbk(gbk);
    m_Dialog->m_Percent->setText(text);
    bool ok = false;
    int percent = QString(text).remove(QLatin1Char('%')).trimmed().toInt(&ok);
    if (ok) m_Dialog->m_Bar->setValue(std::clamp(percent, 0, 100));
    // A new percentage marks the end of a step of the computation: the window is painted
    // and a click on "取消" is seen there, also where the engine itself does not pump.
    Platform().PumpMessage();
  }
  void Cancel() {
    if (m_Dialog) m_Dialog->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
  }

 private:
  QPointer<ProgressDialog> m_Dialog;
};

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

struct ButtonSet {
  std::vector<std::pair<QMessageBox::StandardButton, MessageAnswer>> buttons;
};

ButtonSet ButtonsOf(MessageButtons buttons) {
  using B = QMessageBox;
  switch (buttons) {
    case MessageButtons::Ok: return {{{B::Ok, MessageAnswer::Ok}}};
    case MessageButtons::OkCancel: return {{{B::Ok, MessageAnswer::Ok}, {B::Cancel, MessageAnswer::Cancel}}};
    case MessageButtons::YesNo: return {{{B::Yes, MessageAnswer::Yes}, {B::No, MessageAnswer::No}}};
    case MessageButtons::YesNoCancel:
      return {{{B::Yes, MessageAnswer::Yes}, {B::No, MessageAnswer::No}, {B::Cancel, MessageAnswer::Cancel}}};
    case MessageButtons::RetryCancel: return {{{B::Retry, MessageAnswer::Retry}, {B::Cancel, MessageAnswer::Cancel}}};
  }
  return {{{B::Ok, MessageAnswer::Ok}}};
}

// The texts of the standard buttons as the system's Chinese interface shows them.
QString ButtonText(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return Tr(u8"确定");
    case QMessageBox::Cancel: return Tr(u8"取消");
    case QMessageBox::Yes: return Tr(u8"是(&Y)");
    case QMessageBox::No: return Tr(u8"否(&N)");
    case QMessageBox::Retry: return Tr(u8"重试(&R)");
    default: return QString();
  }
}

DesktopProgressWindow* g_OpenProgress = nullptr;

}  // namespace

QString QtFilter(const FileFilter& filter) {
  QString description = FromGbk(filter.description);
  QString patterns = QString::fromStdString(filter.pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
  if (description.endsWith(QLatin1Char('(') + QString::fromStdString(filter.pattern) + QLatin1Char(')')) &&
      !filter.pattern.empty() && filter.pattern.find(';') == std::string::npos)
    return description;
  return description + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

QWidget* DesktopHost::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return m_Window;
}

MessageAnswer DesktopHost::ShowMessage(const MessageRequest& request) {
  // The engines name the program in Chinese; the title follows the interface language.
  const QString caption = request.caption == AppTitle() ? ApplicationTitle() : FromGbk(request.caption);
  QMessageBox box(ToQt(request.icon), caption, FromGbk(request.text), QMessageBox::NoButton, Parent());
  ButtonSet set = ButtonsOf(request.buttons);
  for (size_t i = 0; i < set.buttons.size(); ++i) {
    QPushButton* b = box.addButton(set.buttons[i].first);
    b->setText(ButtonText(set.buttons[i].first));
    if (static_cast<int>(i) == request.defaultButton) box.setDefaultButton(b);
  }
  // Closing the box without a button gives its Cancel (or No, or the only button).
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (const auto& [button, answer] : set.buttons)
    if (clicked && box.standardButton(clicked) == button) return answer;
  for (auto preferred : {MessageAnswer::Cancel, MessageAnswer::No})
    for (const auto& b : set.buttons)
      if (b.second == preferred) return preferred;
  return set.buttons.front().second;
}

std::optional<std::vector<std::string>> DesktopHost::ChooseFiles(const FileDialogRequest& request) {
  QFileDialog dialog(Parent(), FromGbk(request.title), FromPath(request.initialDirectory));
  QStringList filters;
  for (const auto& f : request.filters) filters << QtFilter(f);
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (request.open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.allowMultiple ? QFileDialog::ExistingFiles
                       : request.mustExist  ? QFileDialog::ExistingFile
                                            : QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  }
  if (!request.defaultName.empty()) dialog.selectFile(FromPath(request.defaultName));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> paths;
  for (const QString& f : dialog.selectedFiles()) paths.push_back(ToPath(f));
  if (paths.empty()) return std::nullopt;
  return paths;
}

std::optional<std::string> DesktopHost::ChooseFolder(const std::string& titleGbk, const std::string& initialDirectory) {
  QString folder = QFileDialog::getExistingDirectory(Parent(), FromGbk(titleGbk), FromPath(initialDirectory),
                                                     QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (folder.isEmpty()) return std::nullopt;
  return ToPath(folder);
}

std::unique_ptr<ProgressWindow> DesktopHost::OpenProgressWindow(std::function<void()> onCancel) {
  struct Tracked final : ProgressWindow {
    explicit Tracked(std::unique_ptr<DesktopProgressWindow> w) : window(std::move(w)) { g_OpenProgress = window.get(); }
    ~Tracked() override {
      if (g_OpenProgress == window.get()) g_OpenProgress = nullptr;
    }
    void SetTitle(const std::string& t) override { window->SetTitle(t); }
    void SetText(const std::string& t) override { window->SetText(t); }
    void SetPercentText(const std::string& t) override { window->SetPercentText(t); }
    std::unique_ptr<DesktopProgressWindow> window;
  };
  return std::make_unique<Tracked>(std::make_unique<DesktopProgressWindow>(m_Window, std::move(onCancel)));
}

void DesktopHost::CancelRunningComputation() {
  if (g_OpenProgress) g_OpenProgress->Cancel();
}

void DesktopHost::PumpMessage() {
  // The computations pump between their steps, some of them thousands of times a second;
  // dispatching every 15 ms keeps the window painted and the cancel button live without
  // spending the computation's time in the event loop.
  if (m_LastPump.isValid() && m_LastPump.elapsed() < 15) return;
  m_LastPump.start();
  QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void DesktopHost::BeginWaitCursor() {
  if (m_WaitDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void DesktopHost::EndWaitCursor() {
  if (m_WaitDepth > 0 && --m_WaitDepth == 0) QApplication::restoreOverrideCursor();
}

void DesktopHost::OpenTextDocument(const std::string& path) {
  if (m_Window) m_Window->OpenTextDocument(FromPath(path));
}

void DesktopHost::OpenNetworkMap(const std::string& path) {
  if (m_Window) m_Window->OpenNetworkMap(FromPath(path));
}

void DesktopHost::ShowText(const std::string& titleGbk, const std::string& textGbk) {
  if (m_Window) m_Window->ShowText(FromGbk(titleGbk), textGbk);
}

}  // namespace vemo
