// The instructions of the language, each written once:
//
//   INSTRUCTION(Name, "Keyword", handler, family, "description", (parameters))
//
// Name makes the row's InstructionIndex (kName); the keyword is stored as
// spelled here, and messages print it so; the handler compiles the row's
// statements in pass 2; a parameter is {ParamKind, "Name"}, in the order
// the statement takes them, one per record slot. The family and the
// description (one plain line) serve the language reference and the
// language server.
//
// Include this file after defining INSTRUCTION; it is expanded by the
// instruction table (parse/instruction_table), which ignores the handler,
// and by the pass-2 dispatch (instructions/dispatch.cc), which alone names
// the handlers, so parse/ never includes instructions/.
//
// Adding an instruction is one row here (anywhere before EndOfKeywords and
// outside the outputs), its handler in the family's file under
// instructions/ (declared in the family's header), and its tests.
//
// ORDER INSTRUCTIONS: a row's position is its instruction index, written
// into every statement record of pass 1. EndOfProgram stays first (index 0
// is the end record and the row of no keyword) and EndOfKeywords last (the
// keyword lookup stops at the first empty keyword); every other row has a
// keyword, and no keyword comes twice (the lookup would never reach the
// second). The instruction table checks all of this when it builds.
// ORDER OUTPUTS: Totalize .. EToDaily stay together and in this order: an
// output's kind is its row counted from Totalize, and the kind selects the
// process name of its fields (instructions/field_builder.h checks it).

// Program structure, flow control and declarations.
INSTRUCTION(EndOfProgram, "", handleEndOfProgram, kProgramStructure,
            "The end record: the whole-program checks, run once after the last statement.",
            ())
INSTRUCTION(Scan, "Scan", handleScan, kProgramStructure,
            "Opens the measurement loop, run once every interval.",
            ({kConstant, "Interval"}, {kConstant, "Units"}))
INSTRUCTION(Call, "Call", handleCall, kFlowControl,
            "Runs a subroutine declared before it.",
            ({kName, "Name"}))
INSTRUCTION(Expression, "Expression", handleExpression, kProgramStructure,
            "An assignment, or another expression written as a statement.",
            ({kCondition, "Expression"}))
INSTRUCTION(If, "If", handleIf, kFlowControl,
            "Opens an If block, or runs the statements after Then when the condition holds.",
            ({kCondition, "Condition"}))
INSTRUCTION(While, "WHILE", handleWhile, kFlowControl,
            "Opens a loop that runs while the condition holds, closed by Wend.",
            ({kCondition, "Condition"}))
INSTRUCTION(BeginProg, "BEGINPROG", handleBeginProg, kProgramStructure,
            "Starts the running program; declarations and subroutines come before it.",
            ())
INSTRUCTION(EndProg, "ENDPROG", handleNothing, kProgramStructure,
            "Ends the program; nothing after it is read.",
            ())
INSTRUCTION(Const, "CONST", handleNothing, kDeclarations,
            "Declares a named constant.",
            ())
INSTRUCTION(Select, "SELECT", handleSelect, kFlowControl,
            "Opens a Select Case block on the value of an expression.",
            ({kCondition, "Expression"}))
INSTRUCTION(Case, "CASE", handleCase, kFlowControl,
            "Starts the branch of a Select Case block for a value, or Case Else.",
            ({kCondition, "Value"}))
INSTRUCTION(Do, "Do", handleDo, kFlowControl,
            "Opens a loop closed by Loop, with an optional While or Until condition.",
            ({kOptionalConstant, "WhileUntil"}, {kCondition, "Condition"}))
INSTRUCTION(Loop, "Loop", handleLoop, kFlowControl,
            "Closes a Do loop, with an optional While or Until condition.",
            ({kOptionalConstant, "WhileUntil"}, {kCondition, "Condition"}))
INSTRUCTION(Else, "Else", handleElse, kFlowControl,
            "Starts the branch of an If block taken when no condition before it held.",
            ({kOptionalConstant, "Word"}, {kCondition, "Condition"}))

// Measurements.
INSTRUCTION(VoltSe, "VoltSe", handleVoltSe, kMeasurement,
            "Measures single-ended voltages.",
            ({kVariable, "Dest"}, {kConstant, "Reps"}, {kConstant, "Channel"},
             {kExpression, "Mult"}, {kExpression, "Offset"}))
INSTRUCTION(ExDelSE, "ExDelSE", handleExDelSE, kMeasurement,
            "Measures single-ended voltages after an excitation and a delay.",
            ({kVariable, "Dest"}, {kConstant, "Reps"}, {kConstant, "Channel"},
             {kConstant, "ExChannel"}, {kConstant, "ExmV"}, {kConstant, "Delay"},
             {kExpression, "Mult"}, {kExpression, "Offset"}))
INSTRUCTION(ThermPrb, "ThermPrb", handleThermPrb, kMeasurement,
            "Measures a thermistor probe.",
            ({kVariable, "Dest"}, {kConstant, "Reps"}, {kConstant, "Channel"},
             {kConstant, "ExChannel"}, {kExpression, "Mult"}, {kExpression, "Offset"}))
INSTRUCTION(PanelTemp, "PanelTemp", handlePanelTemp, kMeasurement,
            "Measures the panel temperature.",
            ({kVariable, "Dest"}))
INSTRUCTION(Battery, "Battery", handleBattery, kMeasurement,
            "Measures the battery voltage.",
            ({kVariable, "Dest"}))
INSTRUCTION(PeriodAvg, "PeriodAvg", handlePeriodAvg, kMeasurement,
            "Measures the average period of a signal over a number of cycles.",
            ({kVariable, "Dest"}, {kConstant, "Channel"}, {kConstant, "Option"},
             {kConstant, "Cycles"}, {kConstant, "Timeout"}, {kConstant, "Range"},
             {kExpression, "Mult"}, {kExpression, "Offset"}))
INSTRUCTION(Pulsecount, "Pulsecount", handlePulsecount, kMeasurement,
            "Counts pulses on a pulse channel.",
            ({kVariable, "Dest"}, {kConstant, "PChannel"}, {kConstant, "PConfig"},
             {kConstant, "POption"}, {kExpression, "Mult"}, {kExpression, "Offset"}))
INSTRUCTION(SwBatt, "SwBatt", handleSwBatt, kMeasurement,
            "Sets the switched battery output.",
            ({kExpression, "Value"}))
INSTRUCTION(ExciteV, "ExciteV", handleExciteV, kMeasurement,
            "Sets an excitation channel to a voltage in millivolts.",
            ({kConstant, "ExChannel"}, {kConstant, "ExmV"}))
INSTRUCTION(ScanLEDOff, "ScanLEDOff", handleScanLEDOff, kMeasurement,
            "Keeps the scan light off.",
            ())
INSTRUCTION(SDI12Recorder, "SDI12Recorder", handleSDI12Recorder, kSdi12Serial,
            "Sends a command to an SDI-12 sensor and stores the values it returns.",
            ({kVariable, "Dest"}, {kName, "Command"}, {kExpression, "Mult"},
             {kExpression, "Offset"}))

// Output processing. ORDER OUTPUTS.
INSTRUCTION(Totalize, "Totalize", handleTotalize, kOutputProcessing,
            "Stores the total of each value over the table's interval.",
            ({kConstant, "Reps"}, {kText, "Source"}, {kExpression, "DisableVar"}))
INSTRUCTION(Average, "Average", handleAverage, kOutputProcessing,
            "Stores the average of each value over the table's interval.",
            ({kConstant, "Reps"}, {kText, "Source"}, {kExpression, "DisableVar"}))
INSTRUCTION(Maximum, "Maximum", handleMaximum, kOutputProcessing,
            "Stores the maximum of each value, optionally with its time.",
            ({kConstant, "Reps"}, {kText, "Source"}, {kExpression, "DisableVar"},
             {kConstant, "Time"}))
INSTRUCTION(Minimum, "Minimum", handleMinimum, kOutputProcessing,
            "Stores the minimum of each value, optionally with its time.",
            ({kConstant, "Reps"}, {kText, "Source"}, {kExpression, "DisableVar"},
             {kConstant, "Time"}))
INSTRUCTION(StdDev, "StdDev", handleStdDev, kOutputProcessing,
            "Stores the standard deviation of each value over the table's interval.",
            ({kConstant, "Reps"}, {kText, "Source"}, {kExpression, "DisableVar"}))
INSTRUCTION(Sample, "Sample", handleSample, kOutputProcessing,
            "Stores the current values.",
            ({kConstant, "Reps"}, {kText, "Source"}))
INSTRUCTION(WindVector, "WindVector", handleWindVector, kOutputProcessing,
            "Stores wind vector statistics.",
            ({kText, "Source"}, {kExpression, "SecondSource"}, {kExpression, "DisableVar"},
             {kConstant, "Setting"}, {kConstant, "OutputOption"}))
INSTRUCTION(ETo, "ETo", handleETo, kOutputProcessing,
            "Stores the averages of four inputs and the ETo value computed from them.",
            ({kText, "Input1"}, {kText, "Input2"}, {kText, "Input3"}, {kText, "Input4"},
             {kExpression, "Value1"}, {kExpression, "Value2"}, {kExpression, "Value3"},
             {kExpression, "Value4"}))
INSTRUCTION(EToDaily, "EToDaily", handleEToDaily, kOutputProcessing,
            "Stores extremes, an average and a total of four inputs, and the ETo value.",
            ({kText, "Input1"}, {kText, "Input2"}, {kText, "Input3"}, {kText, "Input4"},
             {kExpression, "Value1"}, {kExpression, "Value2"}, {kExpression, "Value3"},
             {kExpression, "Value4"}))

INSTRUCTION(Alias, "Alias", handleNothing, kDeclarations,
            "Gives a second name to a variable or an array element.",
            ())
INSTRUCTION(FieldNames, "FieldNames", handleNothing, kDataTables,
            "Names the fields of the output instruction just before it.",
            ({kName, "Names"}))
INSTRUCTION(Units, "Units", handleNothing, kDeclarations,
            "Attaches a units text to a variable.",
            ({kName, "Name"}))
INSTRUCTION(PortGet, "PortGet", handlePortGet, kPortsTiming,
            "Reads a control port into a variable.",
            ({kVariable, "Dest"}, {kConstant, "Port"}))
INSTRUCTION(PortSet, "PortSet", handlePortSet, kPortsTiming,
            "Sets a control port from a value.",
            ({kConstant, "Port"}, {kExpression, "Value"}))
INSTRUCTION(Delay, "Delay", handleDelay, kPortsTiming,
            "Waits for an amount of time.",
            ({kConstant, "Amount"}, {kConstant, "Units"}))
INSTRUCTION(Dim, "DIM", handleNothing, kDeclarations,
            "Declares variables and arrays.",
            ({kDimList, "Variables"}))
INSTRUCTION(Public, "PUBLIC", handleNothing, kDeclarations,
            "Declares variables and arrays that the public table shows.",
            ({kPublicList, "Variables"}))
INSTRUCTION(For, "FOR", handleFor, kFlowControl,
            "Opens a counted loop closed by Next: For Counter = Start To End [Step Step].",
            ({kForClause, "Clause"}))
INSTRUCTION(Next, "NEXT", handleNext, kFlowControl,
            "Closes a For loop; Next Scan closes the measurement loop.",
            ({kNextKind, "Word"}))
INSTRUCTION(End, "End", handleEnd, kFlowControl,
            "Closes the block named after it: If, Select, Sub or Table.",
            ({kEndKind, "Block"}))
INSTRUCTION(EndIf, "EndIf", handleEndIf, kFlowControl,
            "Closes an If block.",
            ())
INSTRUCTION(EndSelect, "EndSelect", handleEndIf, kFlowControl,
            "Closes a Select Case block.",
            ())
INSTRUCTION(ElseIf, "ElseIf", handleElseIf, kFlowControl,
            "Starts the branch of an If block taken when its own condition holds.",
            ({kCondition, "Condition"}))
INSTRUCTION(Wend, "WEND", handleWend, kFlowControl,
            "Closes a While loop.",
            ())
INSTRUCTION(CallTable, "CallTable", handleCallTable, kDataTables,
            "Runs a data table's outputs, storing a record when one is due.",
            ({kName, "Table"}))
INSTRUCTION(DataTable, "DataTable", handleDataTable, kDataTables,
            "Opens a data table declaration, closed by EndTable.",
            ({kName, "Name"}, {kExpression, "Trigger"}, {kConstant, "Size"}))
INSTRUCTION(DataInterval, "DataInterval", handleDataInterval, kDataTables,
            "Sets the storage interval of the table being declared.",
            ({kConstant, "TimeIntoInterval"}, {kConstant, "Interval"}, {kConstant, "Units"}))
INSTRUCTION(NextScan, "NEXTSCAN", handleNextScan, kProgramStructure,
            "Closes the measurement loop.",
            ())
INSTRUCTION(EndTable, "ENDTABLE", handleEndTable, kDataTables,
            "Closes a data table declaration.",
            ())
INSTRUCTION(ResetTable, "ResetTable", handleResetTable, kDataTables,
            "Accepted with a table name; compiles to nothing.",
            ({kName, "Table"}))
INSTRUCTION(Sub, "Sub", handleSub, kFlowControl,
            "Opens a subroutine declaration, closed by EndSub.",
            ({kSubName, "Name"}))
INSTRUCTION(EndSub, "EndSub", handleEndSub, kFlowControl,
            "Closes a subroutine declaration.",
            ())
INSTRUCTION(ExitSub, "ExitSub", handleExitSub, kFlowControl,
            "Returns from a subroutine.",
            ())
INSTRUCTION(ExitDo, "ExitDo", handleExitDo, kFlowControl,
            "Leaves the innermost Do or While loop.",
            ())
INSTRUCTION(ExitFor, "ExitFor", handleExitFor, kFlowControl,
            "Leaves the innermost For loop.",
            ())
INSTRUCTION(Exit, "Exit", handleExit, kFlowControl,
            "Leaves the block named after it: Do, For or Sub.",
            ({kEndKind, "Block"}))

// Spatial statistics.
INSTRUCTION(RectPolar, "RectPolar", handleRectPolar, kSpatialStatistics,
            "Converts a rectangular pair to polar form.",
            ({kExpression, "Dest"}, {kExpression, "Source"}))
INSTRUCTION(RMSSpa, "RMSSpa", handleRMSSpa, kSpatialStatistics,
            "Stores the root mean square of consecutive array elements.",
            ({kVariable, "Dest"}, {kConstant, "Count"}, {kVariable, "Source"}))
INSTRUCTION(StdDevSpa, "StdDevSpa", handleStdDevSpa, kSpatialStatistics,
            "Stores the standard deviation of consecutive array elements.",
            ({kVariable, "Dest"}, {kConstant, "Count"}, {kVariable, "Source"}))
INSTRUCTION(MaxSpa, "MaxSpa", handleMaxSpa, kSpatialStatistics,
            "Stores the maximum of consecutive array elements.",
            ({kVariable, "Dest"}, {kConstant, "Count"}, {kVariable, "Source"}))
INSTRUCTION(MinSpa, "MinSpa", handleMinSpa, kSpatialStatistics,
            "Stores the minimum of consecutive array elements.",
            ({kVariable, "Dest"}, {kConstant, "Count"}, {kVariable, "Source"}))
INSTRUCTION(AvgSpa, "AvgSpa", handleAvgSpa, kSpatialStatistics,
            "Stores the average of consecutive array elements.",
            ({kVariable, "Dest"}, {kConstant, "Count"}, {kVariable, "Source"}))
INSTRUCTION(CovSpa, "CovSpa", handleCovSpa, kSpatialStatistics,
            "Stores covariances of consecutive array elements.",
            ({kVariable, "Dest"}, {kConstant, "Count1"}, {kConstant, "Count2"},
             {kExpression, "Source1"}, {kVariable, "Source2"}))

INSTRUCTION(StationName, "StationName", handleNothing, kDeclarations,
            "Names the station; compiles to nothing.",
            ({kName, "Name"}))
INSTRUCTION(Print, "Print", handlePrint, kCommunication,
            "Sends text and values out of a serial port: Print(Port, Baud, Items).",
            ({kRawText, "Arguments"}))
INSTRUCTION(Randomize, "Randomize", handleRandomize, kPortsTiming,
            "Seeds the random number generator.",
            ({kExpression, "Seed"}))
INSTRUCTION(ClockSet, "ClockSet", handleClockSet, kPortsTiming,
            "Sets the logger's clock.",
            ({kExpression, "Source"}))
INSTRUCTION(RealTime, "RealTime", handleRealTime, kPortsTiming,
            "Reads the clock into an array, or one element of it.",
            ({kVariable, "Dest"}, {kOptionalConstant, "Element"}))
INSTRUCTION(SendGetData, "SendGetData", handleSendGetData, kCommunication,
            "Exchanges arrays of values with another logger over the network.",
            ({kVariable, "FirstVariable"}, {kExpression, "Dest"}, {kExpression, "Source"},
             {kConstant, "Port"}, {kConstant, "Host"}, {kConstant, "Repeater"},
             {kConstant, "Setting"}))
INSTRUCTION(AnalogPortGet, "AnalogPortGet", handleAnalogPortGet, kPortsTiming,
            "Reads an analog port into a variable.",
            ({kVariable, "Dest"}, {kConstant, "Channel"}))
INSTRUCTION(AnalogPortSet, "AnalogPortSet", handleAnalogPortSet, kPortsTiming,
            "Sets an analog port from a value.",
            ({kConstant, "Channel"}, {kExpression, "Value"}))
INSTRUCTION(ReadSendGetInfo, "ReadSendGetInfo", handleReadSendGetInfo, kCommunication,
            "Reads network exchange information for a port into a variable.",
            ({kVariable, "Dest"}, {kConstant, "Port"}))
INSTRUCTION(SetValue, "SetValue", handleSetValue, kCommunication,
            "Sends values to a public field of another logger.",
            ({kVariable, "FirstVariable"}, {kVariable, "Source"}, {kExpression, "Value"},
             {kName, "Field"}, {kConstant, "Port"}, {kConstant, "Host"},
             {kConstant, "Repeater"}, {kConstant, "Code"}))
INSTRUCTION(GetValue, "GetValue", handleGetValue, kCommunication,
            "Fetches a public field of another logger.",
            ({kVariable, "FirstVariable"}, {kVariable, "Dest"}, {kExpression, "Value"},
             {kName, "Field"}, {kConstant, "Port"}, {kConstant, "Host"},
             {kConstant, "Repeater"}, {kConstant, "Code"}))
INSTRUCTION(SetStatus, "SetStatus", handleSetStatus, kCommunication,
            "Writes a field of the status table.",
            ({kName, "Field"}, {kExpression, "Value"}))
INSTRUCTION(RFPortTest, "RFPortTest", handleRFPortTest, kPortsTiming,
            "Tests the radio port into a variable.",
            ({kVariable, "Dest"}))
INSTRUCTION(Ticker250ms, "Ticker250ms", handleTicker250ms, kPortsTiming,
            "Sets the 250 ms ticker from a value.",
            ({kExpression, "Value"}))

// Satellite transmitter.
INSTRUCTION(GOESData, "GOESData", handleGOESData, kSatellite,
            "Names the data table whose fields the transmitter sends.",
            ({kVariable, "FirstVariable"}, {kName, "Table"}, {kExpression, "Value"},
             {kConstant, "BufferOption"}, {kConstant, "DataFormat"}))
INSTRUCTION(GOESStatus, "GOESStatus", handleGOESStatus, kSatellite,
            "Reads transmitter status into an array.",
            ({kVariable, "Dest"}, {kConstant, "Request"}))
INSTRUCTION(GOESSetup, "GOESSetup", handleGOESSetup, kSatellite,
            "Configures the transmitter: identifier, channels, baud rates and timing.",
            ({kVariable, "FirstVariable"}, {kConstant, "PlatformID"}, {kConstant, "Window"},
             {kConstant, "STChannel"}, {kConstant, "STBaud"}, {kConstant, "RChannel"},
             {kConstant, "RBaud"}, {kRawText, "Times"}))
INSTRUCTION(GOESGPS, "GOESGPS", handleGOESGPS, kSatellite,
            "Reads GPS data into two arrays.",
            ({kVariable, "Dest1"}, {kVariable, "Dest2"}))

// Serial devices, program sections and communication.
INSTRUCTION(SerialInput, "SerialInput", handleSerialInput, kSdi12Serial,
            "Receives filtered serial data into an array.",
            ({kVariable, "Dest"}, {kConstant, "Reps"}, {kConstant, "Setting"},
             {kName, "Filter"}, {kOptionalConstant, "Port"}, {kOptionalConstant, "Baud"}))
INSTRUCTION(LoggerIdentify, "LoggerIdentify", handleLoggerIdentify, kSdi12Serial,
            "Answers an identification request with a response string.",
            ({kName, "Filter"}, {kName, "Response"}))
INSTRUCTION(InterruptSequence, "InterruptSequence", handleInterruptSequence,
            kProgramStructure,
            "Opens the interrupt section, after the measurement loop and up to EndProg.",
            ())
INSTRUCTION(SDI12SensorSetup, "SDI12SensorSetup", handleSDI12SensorSetup, kSdi12Serial,
            "Makes the logger answer an SDI-12 recorder as a sensor.",
            ({kConstant, "Reps"}, {kConstant, "Port"}, {kExpression, "Value"},
             {kConstant, "ResponseTime"}))
INSTRUCTION(SDI12SensorResponse, "SDI12SensorResponse", handleSDI12SensorResponse,
            kSdi12Serial,
            "Gives the values the logger answers with as an SDI-12 sensor.",
            ({kVariable, "Source"}))
INSTRUCTION(SendData, "SendData", handleSendData, kCommunication,
            "Sends a data table to another logger.",
            ({kConstant, "Port"}, {kConstant, "Neighbor"}, {kConstant, "Host"},
             {kText, "Table"}))
INSTRUCTION(ModBusMaster, "ModBusMaster", handleModBusMaster, kCommunication,
            "Polls a Modbus device.",
            ({kVariable, "FirstVariable"}, {kConstant, "ComPort"}, {kConstant, "BaudRate"},
             {kExpression, "Value1"}, {kConstant, "Function"}, {kVariable, "Variable"},
             {kExpression, "Value2"}, {kExpression, "Value3"}, {kConstant, "Setting"},
             {kConstant, "Timeout"}))
INSTRUCTION(ModBusSlave, "ModBusSlave", handleModBusSlave, kCommunication,
            "Answers as a Modbus slave on a COM port.",
            ({kConstant, "ComPort"}, {kConstant, "BaudRate"}, {kExpression, "Value"},
             {kVariable, "Registers"}, {kExpression, "Booleans"},
             {kOptionalConstant, "Flag"}, {kOptionalConstant, "Setting"}))

INSTRUCTION(EndOfKeywords, "", handleNothing, kProgramStructure,
            "Closes the keyword lookup; no statement has it.",
            ())
