#include "ui/headless/headless_dialogs.h"

#include <algorithm>

#include "ui/form.h"
#include "ui/headless/transcript_text.h"
#include "ui/table_text.h"

namespace halvic::ui {

std::optional<std::string> HeadlessDialogs::openFile(std::string_view title,
                                                     const std::vector<FileFilter>& filters,
                                                     int selectedFilter) {
  lastOpenTitle_ = title;
  lastFilters_ = filters;
  lastSelectedFilter_ = selectedFilter;
  if (openAnswers_.empty()) {
    throw MissingAnswer("an open-file dialog found no queued answer");
  }
  std::optional<std::string> answer = std::move(openAnswers_.front());
  openAnswers_.pop_front();
  return answer;
}

std::optional<std::string> HeadlessDialogs::inputBox(std::string_view prompt,
                                                     std::string_view title,
                                                     std::string_view defaultText) {
  transcript_ << "input-box: " << transcriptText(title) << " | " << transcriptText(prompt) << " | "
              << transcriptText(defaultText) << '\n';
  if (inputAnswers_.empty()) {
    throw MissingAnswer("an input box found no queued answer");
  }
  std::optional<std::string> answer = std::move(inputAnswers_.front());
  inputAnswers_.pop_front();
  return answer;
}

void HeadlessDialogs::messageBox(std::string_view text, std::string_view reason) {
  transcript_ << "message: " << transcriptText(text) << '\n';
  if (!reason.empty()) {
    reportReason(reason);
  }
}

void HeadlessDialogs::reportReason(std::string_view reason) {
  if (reasons_ != nullptr) {
    transcript_.flush();  // keeps the two streams in order where they share a terminal
    *reasons_ << "reason: " << transcriptText(reason) << '\n';
  }
}

void HeadlessDialogs::showModal(Form& window) {
  ModalAnswer answer;
  if (!modalAnswers_.empty()) {
    answer = std::move(modalAnswers_.front());
    modalAnswers_.pop_front();
  } else if (defaultModal_) {
    answer = defaultModal_;
  } else {
    throw MissingAnswer("a modal window found no queued answer");
  }
  window.show();
  answer(window);
  // A window that refused what it was given is still open: the next queued answer is the user's
  // correction; with none left the user closes it with its window's close control.
  while (window.visible() && !modalAnswers_.empty()) {
    answer = std::move(modalAnswers_.front());
    modalAnswers_.pop_front();
    answer(window);
  }
  if (window.visible()) {
    window.hide();
  }
}

std::optional<std::string> HeadlessDialogs::saveFile(const SaveRequest& request) {
  if (saveAnswers_.empty()) {
    throw MissingAnswer("a save-file dialog found no queued answer");
  }
  std::optional<std::string> answer = std::move(saveAnswers_.front());
  saveAnswers_.pop_front();
  if (answer && request.addFilterExtension) {
    answer = withFilterExtension(*answer, request.filters, 0);
  }
  return answer;
}

namespace {

/** Sets the named fields of a form as the user types them; an unknown name is no answer. */
void applyFormAnswer(std::vector<FormField>& fields, const FormAnswer& answer) {
  for (const auto& [name, value] : answer) {
    const auto field = std::find_if(fields.begin(), fields.end(),
                                    [&name](const FormField& f) { return f.name == name; });
    if (field == fields.end()) {
      throw MissingAnswer("the form has no field named '" + name + "'");
    }
    if (field->kind == FormField::Kind::Check && value != "0" && value != "1") {
      throw MissingAnswer("the check box '" + name + "' takes 0 or 1");
    }
    field->value = value;
  }
  // A check box whose fields are empty is disabled: the answer cannot tick it.
  for (FormField& field : fields) {
    if (field.kind == FormField::Kind::Check && !fieldEnabled(field, fields)) {
      field.value.assign(1, '0');
    }
  }
}

}  // namespace

std::optional<std::vector<FormField>> HeadlessDialogs::showForm(const FormRequest& request) {
  lastFormText_ = request.text;
  if (formAnswers_.empty()) {
    throw MissingAnswer("a form found no queued answer");
  }
  std::vector<FormField> fields = request.fields;
  while (!formAnswers_.empty()) {
    const std::optional<FormAnswer> answer = std::move(formAnswers_.front());
    formAnswers_.pop_front();
    if (!answer) {
      return std::nullopt;
    }
    applyFormAnswer(fields, *answer);
    const std::optional<std::string> refusal =
        request.validate ? request.validate(fields) : std::nullopt;
    if (!refusal) {
      return fields;
    }
    messageBox(*refusal);
  }
  return std::nullopt;  // refused, and the user gave up: the form is cancelled
}

namespace {

std::string joinedCells(const std::vector<std::string>& cells) {
  std::string joined;
  for (size_t i = 0; i < cells.size(); ++i) {
    joined += (i == 0 ? "" : " | ") + transcriptText(cells[i]);
  }
  return joined;
}

}  // namespace

std::optional<std::string> HeadlessDialogs::showTable(const TableRequest& request) {
  for (const std::vector<std::string>& row : fullRowsOf(request)) {
    transcript_ << request.rowPrefix << joinedCells(row) << '\n';
  }
  transcript_ << request.summaryPrefix << joinedCells(request.summaryCells) << '\n';
  for (const TableFoot& foot : request.feet) {
    transcript_ << foot.prefix << joinedCells(foot.cells) << '\n';
  }
  if (request.answerField.empty() || request.actions.empty()) {
    return std::nullopt;
  }
  const std::string start = request.defaultAction == 0U ? "1" : "0";
  const FormRequest form{.title = request.title,
                         .text = request.text,
                         .fields = {FormField{request.answerField, request.actions.front(),
                                              FormField::Kind::Check, start}},
                         .validate = {}};
  const std::optional<std::vector<FormField>> answer = showForm(form);
  const bool chosen = answer && !answer->empty() && answer->front().value == "1";
  return chosen ? std::optional<std::string>(request.actions.front()) : std::nullopt;
}

}  // namespace halvic::ui
