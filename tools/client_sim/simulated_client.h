// One simulated SETI client working folder, played through a unit's life the way the client
// writes it: the unit arrives, state.sah is rewritten in place while the unit is processed, a
// temporary result is written, the result waits to be sent, and the next unit arrives. Used by
// the live demo and by tests that read the folder at each stage. Windows only: the point is
// that Windows file-sharing rules hold between the simulator and Velmora.
#pragma once

#include <string>

#include "windows/handles.h"

namespace velmora::sim {

enum class Stage {
  kProcessing,     // work_unit.sah and state.sah, "prog=" growing
  kWritingResult,  // the unit is done: work_unit.sah gone, wtemp.sah being written
  kWaiting,        // result.sah waiting to be sent; state.sah says prog=1
};

class SimulatedClient {
 public:
  // `folder` is created when missing. `unitCpuSeconds` is the CPU time one unit takes.
  SimulatedClient(std::string folder, int seed, double unitCpuSeconds);

  // Starts the first unit: user_info.sah, work_unit.sah and a state.sah at `progress`.
  void Begin(double progress);
  // Moves the unit on by `cpuSeconds` of processing; from the processing stage on to writing
  // the result, waiting and the next unit as the figures say. `holdMilliseconds` is how long
  // state.sah stays open for writing (empty for the first half) on each rewrite.
  void Advance(double cpuSeconds, int holdMilliseconds);

  // Stage changes, for tests and the demo's start-up.
  void StartWritingResult();
  void ResultWritten();
  void ResultSent();  // the next unit arrives; user_info.sah counts the result

  // Rewrites state.sah and keeps it open for writing until EndHold (a reader then finds it
  // present but cannot read it).
  void BeginHold();
  void EndHold();

  // The client hangs on its unit, as a crashed or frozen client does: from its next processing
  // step on it writes nothing, and work_unit.sah and state.sah stay as they are, so the folder
  // shows a unit in work that makes no progress. A client between units hangs once its next
  // unit has arrived. Resume lets it go on from where it stopped.
  void Hang() { hung_ = true; }
  void Resume() { hung_ = false; }
  bool Hung() const { return hung_; }

  Stage CurrentStage() const { return stage_; }
  double Progress() const { return progress_; }
  double CpuTime() const { return cpu_; }
  int Results() const { return results_; }
  double TotalCpu() const { return totalCpu_; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string PathOf(const char* name) const;
  void WriteStateFile(int holdMilliseconds);
  void WriteUserInfo();
  void WriteWorkUnit();
  std::string StateText() const;

  std::string folder_;
  int seed_;
  double unitCpu_;
  Stage stage_ = Stage::kProcessing;
  double progress_ = 0;
  double cpu_ = 0;
  double stageSeconds_ = 0;
  int unit_ = 0;
  int results_ = 0;
  double totalCpu_ = 0;
  bool hung_ = false;
  win::FileHandle heldState_;
};

}  // namespace velmora::sim
