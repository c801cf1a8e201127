#pragma once
// An update progress that only counts and keeps what it was told, for tests
// and the benchmark.
#include <string>
#include <vector>

#include "library/UpdateProgress.h"

class TCountingProgress : public TUpdateProgress {
 public:
  void AddOne(TUpdateCounter counter) override { ++Counts[static_cast<int>(counter)]; }
  void SetProgressMaximum(int maximum) override { Maximum = maximum; }
  void StepProgress() override { ++Position; }
  void ReportFailure(const platform::Message& failure) override { Failures.push_back(failure.Utf8()); }
  void ShowNotice(const platform::Message& notice) override { Notices.push_back(notice.Utf8()); }
  int Skipped() const { return Counts[0]; }
  int Updated() const { return Counts[1]; }
  int Added() const { return Counts[2]; }
  int Deleted() const { return Counts[3]; }

  int Counts[4] = {0, 0, 0, 0};
  int Maximum = 0;
  int Position = 0;
  std::vector<std::string> Failures;
  std::vector<std::string> Notices;
};
