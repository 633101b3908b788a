// Runs a step that must not wait for a FIFO's writer: if it is still running after the
// time allowed (stuck in open() on the FIFO), the FIFO's writing end is opened so that
// the step returns and the test can report the hang instead of hanging.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tavelorin {

// Runs paso; true when it had to be freed from waiting on the FIFO.
inline bool SeQuedoEsperando(const std::string& fifo, const std::function<void()>& paso,
                             std::chrono::seconds plazo = std::chrono::seconds(10)) {
    std::mutex m;
    std::condition_variable cv;
    bool terminado = false;
    bool liberado = false;
    std::thread vigilante([&] {
        std::unique_lock<std::mutex> l(m);
        if (cv.wait_for(l, plazo, [&] { return terminado; })) return;
        liberado = true;
        // A non-blocking writer opens only while a reader waits, and releases it.
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) ::close(fd);
    });
    paso();
    {
        std::lock_guard<std::mutex> l(m);
        terminado = true;
    }
    cv.notify_one();
    vigilante.join();
    return liberado;
}

}  // namespace tavelorin
