#include "desktop/error_box.h"

#include <QIcon>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

namespace torvin::desktop {

namespace {

// The most problems the summary lists, and the most characters of each.
constexpr qsizetype kShownLines = 3;
constexpr qsizetype kShownChars = 80;

// A long line keeps its end, where the file's name and the reason are.
QString shortened(const QString& line) {
  if (line.size() <= kShownChars) {
    return line;
  }
  return QStringLiteral("…") + line.right(kShownChars - 1);
}

}  // namespace

std::unique_ptr<QMessageBox> makeErrorBox(QWidget* parent, const std::string& text) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QStringLiteral("Torvin"));
  box->setIcon(QMessageBox::NoIcon);
  box->setTextFormat(Qt::PlainText);
  box->setStandardButtons(QMessageBox::Ok);
  box->button(QMessageBox::Ok)->setIcon(QIcon());
  if (parent != nullptr) {
    box->setWindowModality(Qt::WindowModal);
  }

  // The bytes of a path need not be UTF-8 (a folder named in Latin-1): shown
  // as well as they can be; standard error has them exactly.
  const QString whole = QString::fromLocal8Bit(text.c_str());
  const QStringList lines = whole.split(QLatin1Char('\n'));
  QStringList summary{shortened(lines.front())};
  const QStringList problems = lines.mid(1);
  for (qsizetype i = 0; i < problems.size() && i < kShownLines; ++i) {
    summary.append(shortened(problems[i]));
  }
  const bool allShown = problems.size() <= kShownLines &&
                        std::all_of(lines.begin(), lines.end(),
                                    [](const QString& line) { return line.size() <= kShownChars; });
  if (!allShown) {
    if (problems.size() > kShownLines) {
      summary.append(QStringLiteral("… and %1 more.").arg(problems.size() - kShownLines));
    }
    summary.append(QString());
    summary.append(QStringLiteral("Every one is under \"Show Details...\"."));
    box->setDetailedText(whole);
  }
  box->setText(summary.join(QLatin1Char('\n')));
  return box;
}

}  // namespace torvin::desktop
