#pragma once
// A mutex whose waiters spin a moment before they sleep. The run's feed and
// its commits are taken by every searcher at every file and held for a few
// instructions: a sleep and a wake-up in the kernel cost far more than the
// wait, and on a Linux tree they came to thousands a run. Any thread.
#include <pthread.h>

namespace trawlscope {

class AdaptiveMutex {
 public:
  AdaptiveMutex() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_ADAPTIVE_NP);
    pthread_mutex_init(&mutex_, &attributes);
    pthread_mutexattr_destroy(&attributes);
  }
  ~AdaptiveMutex() { pthread_mutex_destroy(&mutex_); }
  AdaptiveMutex(const AdaptiveMutex&) = delete;
  AdaptiveMutex& operator=(const AdaptiveMutex&) = delete;

  void lock() { pthread_mutex_lock(&mutex_); }
  void unlock() { pthread_mutex_unlock(&mutex_); }
  bool try_lock() { return pthread_mutex_trylock(&mutex_) == 0; }

 private:
  pthread_mutex_t mutex_;
};

}  // namespace trawlscope
