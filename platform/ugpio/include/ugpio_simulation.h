#pragma once

#include <functional>
#include <string>

// Host builds only: the simulated board behind the GPIO line library. A line
// exists while a SimulatedLine of its name lives; every value set on it is
// handed to the observer (on the setting thread).
namespace ugpio {

class SimulatedLine {
  public:
    using Observer = std::function<void(int value)>;

    SimulatedLine(std::string name, Observer observer);
    ~SimulatedLine();
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;

  private:
    std::string m_name;
};

}  // namespace ugpio
