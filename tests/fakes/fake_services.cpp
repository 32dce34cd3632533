// The scripted service control manager on the virtual clock.
#include "tests/fakes/fake_platform.h"

#include <utility>

#include "platform/text.h"

namespace kestrun::platform::fake {

namespace {

class FakeService : public Service {
  public:
    FakeService(FakeServices& owner, std::string name, FakeServices::ServiceModel& model)
        : owner_(owner), name_(std::move(name)), model_(model) {
        ++owner_.openServices;
    }
    ~FakeService() override { --owner_.openServices; }

    std::uint32_t QueryStartType(std::uint32_t& startType) override {
        Record("QueryConfig");
        if (model_.failQueryConfig != 0) {
            return model_.failQueryConfig;
        }
        startType = model_.startType;
        return 0;
    }
    std::uint32_t ChangeStartType(std::uint32_t startType) override {
        Record("ChangeConfig");
        if (model_.failChangeConfig != 0) {
            return model_.failChangeConfig;
        }
        model_.startType = startType;
        return 0;
    }
    std::uint32_t QueryState(std::uint32_t& currentState) override {
        Record("QueryStatus");
        if (model_.failQueryStatus != 0) {
            return model_.failQueryStatus;
        }
        Advance();
        currentState = model_.state;
        return 0;
    }
    std::uint32_t Stop() override {
        Record("Stop");
        if (model_.failStop != 0) {
            return model_.failStop;
        }
        if (model_.state != kServiceRunning) {
            return 1062;  // ERROR_SERVICE_NOT_ACTIVE
        }
        if (model_.ignoresStop) {
            return 0;
        }
        model_.state = kServiceStopPending;
        model_.stopRequestedAt = owner_.clock().now;
        return 0;
    }
    std::uint32_t Start() override {
        Record("Start");
        if (model_.failStart != 0) {
            return model_.failStart;
        }
        if (model_.startType == kServiceDisabled) {
            return 1058;  // ERROR_SERVICE_DISABLED
        }
        Advance();
        if (model_.state == kServiceRunning || model_.state == kServiceStopPending ||
            model_.state == kServiceStartPending) {
            return 1056;  // ERROR_SERVICE_ALREADY_RUNNING
        }
        model_.state = model_.startDelay == 0 ? kServiceRunning : kServiceStartPending;
        model_.startRequestedAt = owner_.clock().now;
        model_.stopRequestedAt.reset();
        return 0;
    }

  private:
    void Record(const std::string& call) { owner_.journal().Add("services", name_ + " " + call); }
    void Advance() {
        if (model_.state == kServiceStopPending && model_.stopRequestedAt && model_.stopDelay &&
            owner_.clock().now - *model_.stopRequestedAt >= *model_.stopDelay) {
            model_.state = kServiceStopped;
        }
        if (model_.state == kServiceStartPending &&
            owner_.clock().now - model_.startRequestedAt >= model_.startDelay) {
            model_.state = kServiceRunning;
        }
    }
    FakeServices& owner_;
    std::string name_;
    FakeServices::ServiceModel& model_;
};

class FakeServiceManager : public ServiceManager {
  public:
    explicit FakeServiceManager(FakeServices& owner) : owner_(owner) { ++owner_.openManagers; }
    ~FakeServiceManager() override { --owner_.openManagers; }
    std::unique_ptr<Service> OpenService(const std::string& name, std::uint32_t& error) override {
        for (auto& [serviceName, model] : owner_.services) {
            if (ToLowerAscii(serviceName) == ToLowerAscii(name)) {
                error = 0;
                return std::make_unique<FakeService>(owner_, serviceName, model);
            }
        }
        error = kErrorServiceDoesNotExist;
        return nullptr;
    }

  private:
    FakeServices& owner_;
};

}  // namespace

std::unique_ptr<ServiceManager> FakeServices::OpenManager(std::uint32_t& error) {
    journal_.Add("services", "open manager");
    if (failOpenManager != 0) {
        error = failOpenManager;
        return nullptr;
    }
    error = 0;
    return std::make_unique<FakeServiceManager>(*this);
}

std::uint32_t FakeServices::QueryState(const std::string& name, std::uint32_t& currentState) {
    std::uint32_t error = 0;
    auto manager = OpenManager(error);
    if (!manager) {
        return error;
    }
    auto service = manager->OpenService(name, error);
    return service ? service->QueryState(currentState) : error;
}

}  // namespace kestrun::platform::fake
