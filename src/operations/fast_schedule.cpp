#include "operations/fast_schedule.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "operations/executor.h"
#include "text/file_name.h"
#include "text/mbstring.h"

namespace velmora::operations {
namespace {

constexpr int kMostJobs = 8;
// How long the thread sleeps when none of the runs it looks after has ended yet.
constexpr auto kPollInterval = std::chrono::milliseconds(5);

bool IsToolAction(const Action& action) {
  return action.kind == ActionKind::ReferenceEdit || action.kind == ActionKind::BulkEdit;
}

// For each row, the deepest level it is listed at: a component is always listed deeper than
// every use of its parent, so the deeper rows go first.
std::vector<int> DeepestLevels(const StructureTree& tree, int rowCount) {
  std::vector<int> deepest(static_cast<std::size_t>(std::max(rowCount, 0)), -1);
  for (const StructureTree::Line& line : tree.lines) {
    int& level = deepest[static_cast<std::size_t>(line.row)];
    level = std::max(level, line.level);
  }
  return deepest;
}

}  // namespace

std::vector<Action> FastOrder(const std::vector<Action>& plan, const StructureTree& tree, int rowCount) {
  std::vector<Action> copies;
  std::vector<Action> edits;
  std::vector<Action> resaves;
  std::vector<Action> bulk;
  bool closes = false;
  std::unordered_set<std::string> copied;
  std::unordered_set<std::string> edited;
  std::unordered_set<std::string> resaved;
  std::unordered_set<std::string> bulkDone;
  for (const Action& action : plan) {
    const std::string key = text::ToLower(action.path);
    switch (action.kind) {
      case ActionKind::Copy:
      case ActionKind::Rename:
        if (copied.insert(key).second)
          copies.push_back(action);
        break;
      case ActionKind::ReferenceEdit: {
        std::string edit = key + '\n' + std::string(toolrunner::Spelling(action.mode)) + '\n' +
                           action.befFile + '\n' + action.aftFile;
        if (edited.insert(std::move(edit)).second)
          edits.push_back(action);
        break;
      }
      case ActionKind::Resave:
        if (resaved.insert(key).second)
          resaves.push_back(action);
        break;
      case ActionKind::CloseAll:
        closes = true;
        break;
      case ActionKind::BulkEdit:
        if (bulkDone.insert(key).second)
          bulk.push_back(action);
        break;
    }
  }
  const std::vector<int> deepest = DeepestLevels(tree, rowCount);
  const auto depth = [&](const Action& action) {
    return action.row >= 0 && static_cast<std::size_t>(action.row) < deepest.size()
               ? deepest[static_cast<std::size_t>(action.row)]
               : -1;
  };
  std::stable_sort(resaves.begin(), resaves.end(),
                   [&](const Action& a, const Action& b) { return depth(a) > depth(b); });

  std::vector<Action> order = std::move(copies);
  order.reserve(order.size() + edits.size() + resaves.size() + bulk.size() + 1);
  order.insert(order.end(), edits.begin(), edits.end());
  order.insert(order.end(), resaves.begin(), resaves.end());
  if (closes)
    order.push_back(Action{});
  order.insert(order.end(), bulk.begin(), bulk.end());
  return order;
}

int SideBySideJobs(platform::Host& host) {
  if (const std::optional<std::string> value = host.GetEnv("VELMORA_JOBS"); value && !value->empty()) {
    const int jobs = text::Atoi(*value);
    if (jobs >= 1)
      return std::min(jobs, kMostJobs);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int>(cores), 1, kMostJobs);
}

namespace {

// A stretch of tool runs, each file's in its order, up to `jobs` at a time.
class ToolPhase {
 public:
  ToolPhase(Context& context, int jobs, std::string_view messageTail)
      : context_(context), jobs_(std::max(jobs, 1)), tail_(messageTail) {}

  // Failed after its message; stopped by the user counts as failed too.
  Step Run(const Action* begin, const Action* end) {
    Queue(begin, end);
    bool failed = false;
    while (true) {
      while (!failed && static_cast<int>(running_.size()) < jobs_ && !ready_.empty())
        failed = StartNext() == Step::Failed;
      if (running_.empty())
        break;
      failed = FinishEnded() == Step::Failed || failed;
    }
    return failed ? Step::Failed : Step::Done;
  }

 private:
  struct FileQueue {
    std::vector<const Action*> actions;
    std::size_t next = 0;
  };
  struct Running {
    toolrunner::StartedTool tool;
    std::size_t file;
    std::string base;
  };

  void Queue(const Action* begin, const Action* end) {
    std::unordered_map<std::string, std::size_t> index;
    for (const Action* action = begin; action != end; ++action) {
      const auto [found, added] = index.try_emplace(text::ToLower(action->path), files_.size());
      if (added) {
        files_.emplace_back();
        ready_.push_back(found->second);
      }
      files_[found->second].actions.push_back(action);
    }
  }

  // Starts the next action of the first ready file whose work files are free. Failed: the phase
  // starts nothing more.
  Step StartNext() {
    const std::size_t file = ready_.front();
    ready_.pop_front();
    const Action& action = *files_[file].actions[files_[file].next];
    const toolrunner::ToolCall call = ToolCallOf(action);
    std::string base = text::ToLower(context_.runner.WorkFileBase(call.inFile, call.mode, tail_));
    if (base.empty())
      return Step::Failed;
    if (busyBases_.contains(base)) {
      waitingFor_[base].push_back(file);
      return Step::Done;
    }
    if (context_.progress.Reached(text::FileNameOf(action.path), true, tail_) ||
        context_.journal.BeforeConcurrentWrite(action.path, journal::WriteKind::Rewritten) == Step::Failed)
      return Step::Failed;
    std::optional<toolrunner::StartedTool> started = context_.runner.StartTool(call, tail_);
    if (!started)
      return Step::Failed;
    busyBases_.insert(base);
    running_.push_back({std::move(*started), file, std::move(base)});
    return Step::Done;
  }

  // Judges every run that has ended; waits a moment when none has. Failed when one of them failed.
  Step FinishEnded() {
    OfferToEndHung();
    bool any = false;
    bool failed = false;
    for (std::size_t i = 0; i < running_.size();) {
      if (!running_[i].tool.process->Ended()) {
        ++i;
        continue;
      }
      any = true;
      Running done = std::move(running_[i]);
      running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(i));
      // One message says that the run stopped.
      done.tool.stopShown = stopShown_ || context_.progress.Cancelled();
      stopShown_ = stopShown_ || done.tool.endedByUser;
      const std::string& path = files_[done.file].actions[files_[done.file].next]->path;
      failed = context_.runner.FinishTool(done.tool, tail_) == Step::Failed ||
               context_.journal.AfterWrite(path) == Step::Failed || failed;
      Release(done);
    }
    if (!any) {
      context_.ui.WhileWaiting();
      std::this_thread::sleep_for(kPollInterval);
    }
    return failed ? Step::Failed : Step::Done;
  }

  // Once the user has asked to stop (the progress may have ended since), a tool still running after
  // a few seconds is offered to be ended, as a run of one tool is; a Yes ends every tool running.
  void OfferToEndHung() {
    const bool stopAsked = context_.ui.StopRequested() || context_.progress.Cancelled();
    bool ended = false;
    for (Running& running : running_)
      ended = context_.runner.OfferToEnd(running.tool, stopAsked && !ended) || ended;
    if (!ended)
      return;
    for (Running& running : running_)
      context_.runner.EndAlong(running.tool);
  }

  void Release(const Running& done) {
    busyBases_.erase(done.base);
    if (const auto waiting = waitingFor_.find(done.base); waiting != waitingFor_.end()) {
      ready_.insert(ready_.end(), waiting->second.begin(), waiting->second.end());
      waitingFor_.erase(waiting);
    }
    FileQueue& queue = files_[done.file];
    if (++queue.next < queue.actions.size())
      ready_.push_back(done.file);
  }

  Context& context_;
  const int jobs_;
  const std::string tail_;
  std::vector<FileQueue> files_;
  std::deque<std::size_t> ready_;  // files whose next action may start
  std::unordered_set<std::string> busyBases_;
  std::unordered_map<std::string, std::vector<std::size_t>> waitingFor_;
  std::vector<Running> running_;
  bool stopShown_ = false;
};

}  // namespace

Step RunFastActions(Context& context, const std::vector<Action>& actions, int jobs,
                    std::string_view messageTail) {
  const ProgressScope progress(context.progress);
  context.progress.Begin(static_cast<int>(actions.size()));
  for (std::size_t i = 0; i < actions.size();) {
    if (!IsToolAction(actions[i])) {
      if (context.progress.Reached(text::FileNameOf(actions[i].path), true, messageTail) ||
          RunAction(context, actions[i], messageTail) == Step::Failed)
        return Step::Failed;
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < actions.size() && IsToolAction(actions[end]))
      ++end;
    ToolPhase phase(context, jobs, messageTail);
    if (phase.Run(actions.data() + i, actions.data() + end) == Step::Failed)
      return Step::Failed;
    i = end;
  }
  return Step::Done;
}

}  // namespace velmora::operations
