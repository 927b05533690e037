// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the globe tests: a renderer that records what it is asked to draw, a JPEG
// writer for generated textures, named layers, a guard against reads that wait on a named pipe,
// and a collector of the warnings the globe logs.

#include <fcntl.h>
#include <unistd.h>

#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "glayer.h"
#include "grenderer.h"
#include "scratch_dir.h"

namespace umbrivista {

struct RecordedPart {
  std::vector<QPoint> points;
  bool closed;
  TColor penColor = clBlack;
  int penWidth = 0;  // pixels
};

struct RecordedSpan {
  int y, x1, x2;
};

class RecordingRenderer : public TGDefaultRenderer {
 public:
  std::vector<RecordedPart> parts;
  std::vector<RecordedSpan> spans;

  void DrawPolyParts(const QPoint* points, const int* counts, int partCount, bool closed) override {
    const QPoint* p = points;
    for (int i = 0; i < partCount; ++i) {
      parts.push_back(
          {std::vector<QPoint>(p, p + counts[i]), closed, Pen().Color(), PenPixelWidth()});
      p += counts[i];
    }
    TGDefaultRenderer::DrawPolyParts(points, counts, partCount, closed);
  }
  void TextureSpan(int y, int x1, const TGBitmap& texture, double ua, double va, double ub,
                   double vb, int x2) override {
    spans.push_back({y, x1, x2});
    TGDefaultRenderer::TextureSpan(y, x1, texture, ua, va, ub, vb, x2);
  }
};

// Writes a width × height baseline JPEG whose pixel (x, y) is rgb(x, y) = 0xRRGGBB; with
// `grey` the picture has one component, the low byte.
void WriteJpeg(const std::string& path, int width, int height,
               const std::function<std::uint32_t(int, int)>& rgb, bool grey = false);

// Releases a reader left waiting on the named pipe `fifo` (as a writer that comes and goes would)
// after `seconds`, so that a read that waits fails the test instead of hanging it.
class PipeWatchdog {
 public:
  PipeWatchdog(std::string fifo, int seconds)
      : thread_([this, fifo = std::move(fifo), seconds] {
          std::unique_lock lock(mutex_);
          if (done_.wait_for(lock, std::chrono::seconds(seconds), [this] { return finished_; }))
            return;
          const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
          if (fd >= 0) ::close(fd);
        }) {}
  ~PipeWatchdog() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

// Collects the messages logged through Qt (qWarning and the like) while it exists.
class LoggedMessages {
 public:
  LoggedMessages() {
    Messages().clear();
    previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
      Messages().push_back(m.toStdString());
    });
  }
  ~LoggedMessages() { qInstallMessageHandler(previous_); }
  LoggedMessages(const LoggedMessages&) = delete;
  LoggedMessages& operator=(const LoggedMessages&) = delete;
  const std::vector<std::string>& All() const { return Messages(); }

 private:
  static std::vector<std::string>& Messages() {
    static std::vector<std::string> messages;
    return messages;
  }
  QtMessageHandler previous_ = nullptr;
};

inline std::unique_ptr<TGLayer> NamedLayer(const std::string& name) {
  auto layer = std::make_unique<TGLayer>();
  layer->SetName(name);
  return layer;
}

}  // namespace umbrivista
