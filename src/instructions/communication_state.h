// Program-wide state of the communication handlers: the Modbus counters
// that keep masters and slaves apart and allow one slave per COM port.
#pragma once

namespace vk6 {

constexpr int kModbusComPorts = 3;

struct CommunicationState {
  int modbusSlaves[kModbusComPorts] = {};  // by COM port - 1
  int modbusMasters = 0;
};

}  // namespace vk6
