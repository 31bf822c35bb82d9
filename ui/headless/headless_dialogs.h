#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialogs.h"

namespace halvic::ui {

/** Thrown when a dialog opens and no answer was queued for it, or its answer does not fit it. */
class MissingAnswer : public UnansweredDialog {
 public:
  using UnansweredDialog::UnansweredDialog;
};

/** A form answer: each named field set to its value, the others left as shown. */
using FormAnswer = std::vector<std::pair<std::string, std::string>>;

/**
 * Dialogs answered from queues, one queue a kind of dialog, consumed in order. Message boxes and
 * input boxes are written to the transcript as they are shown; message boxes are answered OK.
 * A modal window that is still open after its answer (it refused what it was given) takes the
 * next queued answer as the correction, and is closed with its window's close control when there
 * is none.
 */
class HeadlessDialogs : public Dialogs {
 public:
  /** What the user does in a modal window before it is hidden. */
  using ModalAnswer = std::function<void(Form&)>;

  /** reasons receives "reason: TEXT" for every message given a reason; nullptr drops them. */
  explicit HeadlessDialogs(std::ostream& transcript, std::ostream* reasons = nullptr)
      : transcript_(transcript), reasons_(reasons) {}

  void queueOpenFile(std::optional<std::string> path) { openAnswers_.push_back(std::move(path)); }
  void queueInput(std::optional<std::string> text) { inputAnswers_.push_back(std::move(text)); }
  void queueModal(ModalAnswer answer) { modalAnswers_.push_back(std::move(answer)); }
  /** The next save-file dialog returns path (nullopt: cancelled). */
  void queueSave(std::optional<std::string> path) { saveAnswers_.push_back(std::move(path)); }
  /** The next form takes these values and OK (nullopt: cancelled). */
  void queueForm(std::optional<FormAnswer> answer) { formAnswers_.push_back(std::move(answer)); }
  /** The answer of a modal window whose queue is empty; without one, that is an error. */
  void setDefaultModalAnswer(ModalAnswer answer) { defaultModal_ = std::move(answer); }

  std::optional<std::string> openFile(std::string_view title,
                                      const std::vector<FileFilter>& filters,
                                      int selectedFilter) override;
  std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  using Dialogs::messageBox;
  void messageBox(std::string_view text, std::string_view reason) override;
  void reportReason(std::string_view reason) override;
  void showModal(Form& window) override;
  std::optional<std::string> saveFile(const SaveRequest& request) override;
  /**
   * Applies the next queued answer and validates it; a refusal is shown as a message box and the
   * next queued answer corrects the fields as they stand, or, with none left, cancels.
   */
  std::optional<std::vector<FormField>> showForm(const FormRequest& request) override;
  /** Writes the rows and the summary to the transcript; closed without an action. */
  std::optional<std::string> showTable(const TableRequest& request) override;

  /** The filters of the last open-file dialog, for tests. */
  const std::vector<FileFilter>& lastFilters() const { return lastFilters_; }
  int lastSelectedFilter() const { return lastSelectedFilter_; }
  const std::string& lastOpenTitle() const { return lastOpenTitle_; }
  /** The text above the fields of the last form, for tests. */
  const std::string& lastFormText() const { return lastFormText_; }

 private:
  std::ostream& transcript_;
  std::ostream* reasons_;
  std::deque<std::optional<std::string>> openAnswers_;
  std::deque<std::optional<std::string>> inputAnswers_;
  std::deque<ModalAnswer> modalAnswers_;
  std::deque<std::optional<std::string>> saveAnswers_;
  std::deque<std::optional<FormAnswer>> formAnswers_;
  ModalAnswer defaultModal_;
  std::vector<FileFilter> lastFilters_;
  int lastSelectedFilter_ = -1;
  std::string lastOpenTitle_;
  std::string lastFormText_;
};

}  // namespace halvic::ui
