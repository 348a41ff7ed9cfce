// GanttSpan: how many days the Gantt chart shows, a week more or less at a time, kept
// in the settings.
#pragma once

class ProgramSettings;
class RefreshSequences;

class GanttSpan {
  public:
    GanttSpan(ProgramSettings& settings, RefreshSequences& refresh)
        : settings(settings), refresh(refresh) {}

    void ShowMoreWeeks();
    void ShowLessWeeks(); // never below one week

  private:
    void change(int days);

    ProgramSettings& settings;
    RefreshSequences& refresh;
};
