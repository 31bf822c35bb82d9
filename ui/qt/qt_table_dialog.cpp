// The table dialog of the desktop program: a table view, an optional picture drawn by the
// program's own raster drawing, a summary, and the buttons to copy, export and act on the table.

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_look.h"
#include "ui/qt/qt_widgets.h"
#include "ui/table_text.h"

namespace halvic::ui {

namespace {

constexpr int kTableWidth = 760;
constexpr int kTableHeight = 320;

QStandardItemModel* tableModel(const TableRequest& request, QObject* parent) {
  auto* model = new QStandardItemModel(static_cast<int>(request.rows.size()),
                                       static_cast<int>(request.columns.size()), parent);
  for (size_t column = 0; column < request.columns.size(); ++column) {
    model->setHorizontalHeaderItem(static_cast<int>(column),
                                   new QStandardItem(shownText(request.columns[column])));
  }
  for (size_t row = 0; row < request.rows.size(); ++row) {
    const std::vector<std::string>& cells = request.rows[row];
    for (size_t column = 0; column < cells.size() && column < request.columns.size(); ++column) {
      auto* item = new QStandardItem(shownText(cells[column]));
      item->setEditable(false);
      model->setItem(static_cast<int>(row), static_cast<int>(column), item);
    }
  }
  return model;
}

QString labelledCells(const std::vector<std::string>& labels,
                      const std::vector<std::string>& cells) {
  QStringList parts;
  for (size_t i = 0; i < cells.size(); ++i) {
    const QString label = i < labels.size() ? shownText(labels[i]) : QString();
    parts << (label.isEmpty() ? QString() : label + QStringLiteral(": ")) + shownText(cells[i]);
  }
  return parts.join(QStringLiteral(", "));
}

QString summaryText(const TableRequest& request) {
  QStringList lines{labelledCells(request.summaryLabels, request.summaryCells)};
  for (const TableFoot& foot : request.feet) {
    lines << labelledCells(foot.labels, foot.cells);
  }
  return lines.join(QStringLiteral("\n"));
}

/** Writes the CSV whole, or not at all; the reason when it could not. */
std::optional<QString> writeCsv(const QString& path, const std::string& text) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return file.errorString();
  }
  file.write(text.data(), static_cast<qint64>(text.size()));
  if (!file.commit()) {
    return file.errorString();
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> QtDialogs::showTable(const TableRequest& request) {
  QDialog dialog(owner_);
  dialog.setWindowTitle(shownText(request.title));
  auto* layout = new QVBoxLayout(&dialog);
  if (!request.text.empty()) {
    auto* text = new QLabel(shownText(request.text), &dialog);
    text->setObjectName(QStringLiteral("text"));
    text->setTextFormat(Qt::PlainText);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(text);
  }

  auto* table = new QTableView(&dialog);
  table->setObjectName(QStringLiteral("table"));
  table->setModel(tableModel(request, table));
  table->verticalHeader()->hide();
  table->resizeColumnsToContents();
  table->setMinimumSize(kTableWidth, kTableHeight);
  layout->addWidget(table);

  if (request.picture != nullptr) {
    auto* plot = new QLabel(&dialog);
    plot->setObjectName(QStringLiteral("picture"));
    plot->setPixmap(QPixmap::fromImage(imageOf(*request.picture)));
    layout->addWidget(plot, 0, Qt::AlignHCenter);
  }
  auto* summary = new QLabel(summaryText(request), &dialog);
  summary->setObjectName(QStringLiteral("summary"));
  summary->setTextFormat(Qt::PlainText);
  layout->addWidget(summary);
  if (!request.note.empty()) {
    auto* note = new QLabel(shownText(request.note), &dialog);
    note->setTextFormat(Qt::PlainText);
    layout->addWidget(note);
  }

  auto* buttons = new QDialogButtonBox(&dialog);
  auto* close = buttons->addButton(shownText(request.closeLabel), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("close"));
  auto* copy = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
  auto* exportCsv =
      buttons->addButton(QStringLiteral("Export CSV..."), QDialogButtonBox::ActionRole);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(copy, &QPushButton::clicked, &dialog, [&request] {
    QApplication::clipboard()->setText(QString::fromStdString(tabSeparatedText(request)));
  });
  QObject::connect(exportCsv, &QPushButton::clicked, &dialog, [this, &request, &dialog] {
    const std::optional<std::string> path = saveFile(
        SaveRequest{"Export CSV", {{"CSV Files (*.csv)", "*.csv"}}, request.exportName, {}});
    if (!path) {
      return;
    }
    const QString file = QString::fromStdString(*path);
    if (const auto failure = writeCsv(file, csvText(request))) {
      // As the window's own writers say it: the file, then the reason, also as the details.
      QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle),
                      QStringLiteral("CSV file not saved: ") + file + QStringLiteral(" (") +
                          *failure + QStringLiteral(")"),
                      QMessageBox::Ok, &dialog);
      box.setDetailedText(*failure);
      box.exec();
    }
  });
  std::optional<std::string> chosen;
  // Copy and Export never take the Enter key; the default action or the closing button does.
  copy->setAutoDefault(false);
  exportCsv->setAutoDefault(false);
  close->setDefault(!request.defaultAction.has_value());
  for (size_t index = 0; index < request.actions.size(); ++index) {
    const std::string& action = request.actions[index];
    auto* button = buttons->addButton(shownText(action), QDialogButtonBox::AcceptRole);
    button->setEnabled(request.actionsEnabled);
    button->setDefault(request.defaultAction == index);
    button->setAutoDefault(request.defaultAction == index);
    QObject::connect(button, &QPushButton::clicked, &dialog, [&chosen, &dialog, action] {
      chosen = action;
      dialog.accept();
    });
  }
  dialog.exec();
  return chosen;
}

}  // namespace halvic::ui
