#pragma once
// A bar for the room on the memory stick: what other files take, what the next save needs, and
// what stays free, with the figures written over it.
#include <QWidget>
#include <cstdint>
#include <optional>

namespace velk_mur {

struct RoomFigures {
  std::uint64_t size = 0;       // the stick's size; 0 when unknown
  std::uint64_t available = 0;  // free now
  std::uint64_t talking = 0;    // what the talking actions take now, which the save replaces
  std::uint64_t needed = 0;     // what the save's new files take
  bool enough() const { return needed <= available; }
};

class RoomBar : public QWidget {
 public:
  explicit RoomBar(QWidget* parent = nullptr);

  // Nothing shows an empty bar that says the room is not known.
  void setFigures(const std::optional<RoomFigures>& figures);
  const std::optional<RoomFigures>& figures() const { return figures_; }
  QString caption() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<RoomFigures> figures_;
};

}  // namespace velk_mur
