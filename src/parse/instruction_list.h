// The instructions of the language, each written once:
//
//   INSTRUCTION(Name, "Keyword", handler, family, "description", (parameters))
//
// Name makes the row's InstructionIndex (kName); the keyword is stored as
// spelled here, and messages print it so; the handler compiles the row's
// statements in pass 2; a parameter is {ParamKind, "Name", "note"}, in the
// order the statement takes them, one per record slot, its note saying what
// it means and its limits (the notes that several rows share are named in
// instruction_table.h). The family, the description (one plain line) and
// the notes serve the language reference and the language server.
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
            ({kConstant, "Interval",
                "the scan interval in Units, a whole number; at most 65535 seconds"},
             {kConstant, "Units",
                "time unit of Interval: sec, min, hr or day (usec and msec are refused)"}))
INSTRUCTION(Call, "Call", handleCall, kFlowControl,
            "Runs a subroutine declared before it.",
            ({kName, "Name",
                "a subroutine whose Sub comes earlier; not from inside a Sub or the interrupt "
                "section"}))
INSTRUCTION(Expression, "Expression", handleExpression, kProgramStructure,
            "An assignment, or another expression written as a statement.",
            ({kCondition, "Expression",
                "the whole statement: Variable = value or Array(Index) = value, or another "
                "expression"}))
INSTRUCTION(If, "If", handleIf, kFlowControl,
            "Opens an If block, or runs the statements after Then when the condition holds.",
            ({kCondition, "Condition",
                "true when non-zero; Then and one statement may follow on the same line"}))
INSTRUCTION(While, "WHILE", handleWhile, kFlowControl,
            "Opens a loop that runs while the condition holds, closed by Wend.",
            ({kCondition, "Condition", "the loop runs while it is non-zero"}))
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
            ({kCondition, "Expression",
                "written after Case: the value that each Case branch tests"}))
INSTRUCTION(Case, "CASE", handleCase, kFlowControl,
            "Starts the branch of a Select Case block for a value, or Case Else.",
            ({kCondition, "Value",
                "a value, a list of values, Low To High, Is and a comparison (Is > 5), or Else"}))
INSTRUCTION(Do, "Do", handleDo, kFlowControl,
            "Opens a loop closed by Loop, with an optional While or Until condition.",
            ({kOptionalConstant, "WhileUntil",
                "While or Until, or nothing when the condition stands at Loop or nowhere"},
             {kCondition, "Condition",
                "tested before each round; a loop has its condition at Do or at Loop, not both"}))
INSTRUCTION(Loop, "Loop", handleLoop, kFlowControl,
            "Closes a Do loop, with an optional While or Until condition.",
            ({kOptionalConstant, "WhileUntil", "While or Until, or nothing"},
             {kCondition, "Condition", "tested after each round; only when Do has no condition"}))
INSTRUCTION(Else, "Else", handleElse, kFlowControl,
            "Starts the branch of an If block taken when no condition before it held.",
            ({kOptionalConstant, "Word", "nothing, or If (Else If)"},
             {kCondition, "Condition",
                "after Else If; the branch does not test it, so write ElseIf for a further "
                "condition"}))

// Measurements.
INSTRUCTION(VoltSe, "VoltSe", handleVoltSe, kMeasurement,
            "Measures single-ended voltages.",
            ({kVariable, "Dest", kNoteMeasuredDest},
             {kConstant, "Reps",
                "number of channels measured, one after another; Channel + Reps - 1 at most 6"},
             {kConstant, "Channel", "first single-ended channel, 1..6"},
             {kExpression, "Mult", kNoteMultiplier},
             {kExpression, "Offset", kNoteOffset}))
INSTRUCTION(ExDelSE, "ExDelSE", handleExDelSE, kMeasurement,
            "Measures single-ended voltages after an excitation and a delay.",
            ({kVariable, "Dest", kNoteMeasuredDest},
             {kConstant, "Reps",
                "number of channels measured; Channel + Reps - 1 at most 6 (low 8 bits kept)"},
             {kConstant, "Channel", "first single-ended channel, 1..6"},
             {kConstant, "ExChannel", "excitation channel, 1 (EX1) or 2 (EX2)"},
             {kConstant, "ExmV", "excitation in millivolts, 2500 or 5000 (mv2500, mv5000)"},
             {kConstant, "Delay",
                "delay between excitation and measurement in microseconds, 500..65000"},
             {kExpression, "Mult", kNoteMultiplier},
             {kExpression, "Offset", kNoteOffset}))
INSTRUCTION(ThermPrb, "ThermPrb", handleThermPrb, kMeasurement,
            "Measures a thermistor probe.",
            ({kVariable, "Dest", kNoteMeasuredDest},
             {kConstant, "Reps", "number of probes measured (low 8 bits kept)"},
             {kConstant, "Channel", "first single-ended channel, 1..6"},
             {kConstant, "ExChannel", "excitation channel, 1 (EX1) or 2 (EX2); excited at 2500 mV"},
             {kExpression, "Mult", kNoteMultiplier},
             {kExpression, "Offset", kNoteOffset}))
INSTRUCTION(PanelTemp, "PanelTemp", handlePanelTemp, kMeasurement,
            "Measures the panel temperature.",
            ({kVariable, "Dest", "the variable that receives the temperature"}))
INSTRUCTION(Battery, "Battery", handleBattery, kMeasurement,
            "Measures the battery voltage.",
            ({kVariable, "Dest", "the variable that receives the voltage"}))
INSTRUCTION(PeriodAvg, "PeriodAvg", handlePeriodAvg, kMeasurement,
            "Measures the average period of a signal over a number of cycles.",
            ({kVariable, "Dest", "the variable that receives the result"},
             {kConstant, "Channel", "period channel, 1..4"},
             {kConstant, "Option", "a byte carried in the record as written"},
             {kConstant, "Cycles", "number of cycles averaged, 1..65000"},
             {kConstant, "Timeout", "greater than zero"},
             {kConstant, "Range", "input range code, 1..6; any other value selects none"},
             {kExpression, "Mult", "multiplier applied to the result"},
             {kExpression, "Offset", "offset added to the result"}))
INSTRUCTION(Pulsecount, "Pulsecount", handlePulsecount, kMeasurement,
            "Counts pulses on a pulse channel.",
            ({kVariable, "Dest", "the variable that receives the count"},
             {kConstant, "PChannel", "pulse channel: 0 (P_LL), 1 (C1), 2 (C2) or 6 (P_SW)"},
             {kConstant, "PConfig",
                "0..2: 1 low-level pulses (channel 0 only), 2 switch closure (not channel 0)"},
             {kConstant, "POption", "0 or 1; a warning inside a loop or another block"},
             {kExpression, "Mult", "multiplier applied to the result"},
             {kExpression, "Offset", "offset added to the result"}))
INSTRUCTION(SwBatt, "SwBatt", handleSwBatt, kMeasurement,
            "Sets the switched battery output.",
            ({kExpression, "Value", "the value the switched battery output is set from"}))
INSTRUCTION(ExciteV, "ExciteV", handleExciteV, kMeasurement,
            "Sets an excitation channel to a voltage in millivolts.",
            ({kConstant, "ExChannel", "excitation channel, 1 (EX1) or 2 (EX2)"},
             {kConstant, "ExmV", "level in millivolts: 0, 2500 or 5000 (mv0, mv2500, mv5000)"}))
INSTRUCTION(ScanLEDOff, "ScanLEDOff", handleScanLEDOff, kMeasurement,
            "Keeps the scan light off.",
            ())
INSTRUCTION(SDI12Recorder, "SDI12Recorder", handleSDI12Recorder, kSdi12Serial,
            "Sends a command to an SDI-12 sensor and stores the values it returns.",
            ({kVariable, "Dest",
                "the variable or array that receives the values the sensor returns"},
             {kName, "Command",
                "at most 11 characters as sent; a field %NName% stands for N characters filled "
                "from variable Name"},
             {kExpression, "Mult", "multiplier applied to each value"},
             {kExpression, "Offset", "offset added to each value"}))

// Output processing. ORDER OUTPUTS.
INSTRUCTION(Totalize, "Totalize", handleTotalize, kOutputProcessing,
            "Stores the total of each value over the table's interval.",
            ({kConstant, "Reps", kNoteOutputReps},
             {kText, "Source", kNoteOutputSource},
             {kExpression, "DisableVar", kNoteDisableVar}))
INSTRUCTION(Average, "Average", handleAverage, kOutputProcessing,
            "Stores the average of each value over the table's interval.",
            ({kConstant, "Reps", kNoteOutputReps},
             {kText, "Source", kNoteOutputSource},
             {kExpression, "DisableVar", kNoteDisableVar}))
INSTRUCTION(Maximum, "Maximum", handleMaximum, kOutputProcessing,
            "Stores the maximum of each value, optionally with its time.",
            ({kConstant, "Reps", kNoteOutputReps},
             {kText, "Source", kNoteOutputSource},
             {kExpression, "DisableVar", kNoteDisableVar},
             {kConstant, "Time", "non-zero also stores the time of each maximum"}))
INSTRUCTION(Minimum, "Minimum", handleMinimum, kOutputProcessing,
            "Stores the minimum of each value, optionally with its time.",
            ({kConstant, "Reps", kNoteOutputReps},
             {kText, "Source", kNoteOutputSource},
             {kExpression, "DisableVar", kNoteDisableVar},
             {kConstant, "Time", "non-zero also stores the time of each minimum"}))
INSTRUCTION(StdDev, "StdDev", handleStdDev, kOutputProcessing,
            "Stores the standard deviation of each value over the table's interval.",
            ({kConstant, "Reps", kNoteOutputReps},
             {kText, "Source", kNoteOutputSource},
             {kExpression, "DisableVar", kNoteDisableVar}))
INSTRUCTION(Sample, "Sample", handleSample, kOutputProcessing,
            "Stores the current values.",
            ({kConstant, "Reps", kNoteOutputReps},
             {kText, "Source", kNoteOutputSource}))
INSTRUCTION(WindVector, "WindVector", handleWindVector, kOutputProcessing,
            "Stores wind vector statistics.",
            ({kText, "Source", "the first input, a variable"},
             {kExpression, "SecondSource", "the second input, an expression"},
             {kExpression, "DisableVar", kNoteDisableVar},
             {kConstant, "Setting", "a constant carried in the record (low 8 bits)"},
             {kConstant, "OutputOption",
                "0 stores three values, 1 two, 2 four; any other value is refused"}))
INSTRUCTION(ETo, "ETo", handleETo, kOutputProcessing,
            "Stores the averages of four inputs and the ETo value computed from them.",
            ({kText, "Input1", "input 1, a variable whose average is stored"},
             {kText, "Input2", "input 2, a variable whose average is stored"},
             {kText, "Input3", "input 3, a variable whose average is stored"},
             {kText, "Input4", "input 4, a variable whose average is stored"},
             {kExpression, "Value1", "value 1 of the ETo computation, carried in the record"},
             {kExpression, "Value2", "value 2 of the ETo computation, carried in the record"},
             {kExpression, "Value3", "value 3 of the ETo computation, carried in the record"},
             {kExpression, "Value4", "value 4 of the ETo computation, carried in the record"}))
INSTRUCTION(EToDaily, "EToDaily", handleEToDaily, kOutputProcessing,
            "Stores extremes, an average and a total of four inputs, and the ETo value.",
            ({kText, "Input1", "input 1, a variable: maximum and minimum with their times"},
             {kText, "Input2", "input 2, a variable: maximum and minimum"},
             {kText, "Input3", "input 3, a variable: average"},
             {kText, "Input4", "input 4, a variable: total"},
             {kExpression, "Value1", "value 1 of the ETo computation, carried in the record"},
             {kExpression, "Value2", "value 2 of the ETo computation, carried in the record"},
             {kExpression, "Value3", "value 3 of the ETo computation, carried in the record"},
             {kExpression, "Value4", "value 4 of the ETo computation, carried in the record"}))

INSTRUCTION(Alias, "Alias", handleNothing, kDeclarations,
            "Gives a second name to a variable or an array element.",
            ())
INSTRUCTION(FieldNames, "FieldNames", handleNothing, kDataTables,
            "Names the fields of the output instruction just before it.",
            ({kName, "Names",
                "the names of the fields of the output before it, separated by commas, in quotes"}))
INSTRUCTION(Units, "Units", handleNothing, kDeclarations,
            "Attaches a units text to a variable.",
            ({kName, "Name",
                "Name = units text: the variable, and its units text of at most 16 characters"}))
INSTRUCTION(PortGet, "PortGet", handlePortGet, kPortsTiming,
            "Reads a control port into a variable.",
            ({kVariable, "Dest", "the variable that receives the port's state"},
             {kConstant, "Port", "control port, 1 or 2"}))
INSTRUCTION(PortSet, "PortSet", handlePortSet, kPortsTiming,
            "Sets a control port from a value.",
            ({kConstant, "Port", "control port, 1 or 2"},
             {kExpression, "Value", "the value the port is set from"}))
INSTRUCTION(Delay, "Delay", handleDelay, kPortsTiming,
            "Waits for an amount of time.",
            ({kConstant, "Amount", "amount of time in Units; at most 100 in seconds"},
             {kConstant, "Units", "time unit of Amount: usec, msec or sec"}))
INSTRUCTION(Dim, "DIM", handleNothing, kDeclarations,
            "Declares variables and arrays.",
            ({kDimList, "Variables",
                "names with an optional size in parentheses (one dimension), separated by commas"}))
INSTRUCTION(Public, "PUBLIC", handleNothing, kDeclarations,
            "Declares variables and arrays that the public table shows.",
            ({kPublicList, "Variables",
                "names with an optional size in parentheses (one dimension), separated by commas"}))
INSTRUCTION(For, "FOR", handleFor, kFlowControl,
            "Opens a counted loop closed by Next: For Counter = Start To End [Step Step].",
            ({kForClause, "Clause",
                "Start, End and Step are expressions; the step is 1 when none is written"}))
INSTRUCTION(Next, "NEXT", handleNext, kFlowControl,
            "Closes a For loop; Next Scan closes the measurement loop.",
            ({kNextKind, "Word",
                "nothing or the counter's name closes a For; Scan closes the measurement loop"}))
INSTRUCTION(End, "End", handleEnd, kFlowControl,
            "Closes the block named after it: If, Select, Sub or Table.",
            ({kEndKind, "Block", "If, Select, Sub or Table"}))
INSTRUCTION(EndIf, "EndIf", handleEndIf, kFlowControl,
            "Closes an If block.",
            ())
INSTRUCTION(EndSelect, "EndSelect", handleEndIf, kFlowControl,
            "Closes a Select Case block.",
            ())
INSTRUCTION(ElseIf, "ElseIf", handleElseIf, kFlowControl,
            "Starts the branch of an If block taken when its own condition holds.",
            ({kCondition, "Condition",
                "the branch runs when it is non-zero and no condition before it held"}))
INSTRUCTION(Wend, "WEND", handleWend, kFlowControl,
            "Closes a While loop.",
            ())
INSTRUCTION(CallTable, "CallTable", handleCallTable, kDataTables,
            "Runs a data table's outputs, storing a record when one is due.",
            ({kName, "Table", "a data table declared earlier; Status compiles to nothing"}))
INSTRUCTION(DataTable, "DataTable", handleDataTable, kDataTables,
            "Opens a data table declaration, closed by EndTable.",
            ({kName, "Name",
                "up to 16 characters, no \\ or . and no leading digit; not Public or Status"},
             {kExpression, "Trigger",
                "a record is stored when it is true at the table's call (and its interval is due)"},
             {kConstant, "Size",
                "number of records kept; negative sizes the table to the memory left"}))
INSTRUCTION(DataInterval, "DataInterval", handleDataInterval, kDataTables,
            "Sets the storage interval of the table being declared.",
            ({kConstant, "TimeIntoInterval",
                "time into the interval at which records are stored, in Units"},
             {kConstant, "Interval",
                "storage interval in Units, at least one minute; a whole number of scan intervals"},
             {kConstant, "Units", "time unit: sec, min, hr or day"}))
INSTRUCTION(NextScan, "NEXTSCAN", handleNextScan, kProgramStructure,
            "Closes the measurement loop.",
            ())
INSTRUCTION(EndTable, "ENDTABLE", handleEndTable, kDataTables,
            "Closes a data table declaration.",
            ())
INSTRUCTION(ResetTable, "ResetTable", handleResetTable, kDataTables,
            "Accepted with a table name; compiles to nothing.",
            ({kName, "Table", "a table name; nothing is compiled"}))
INSTRUCTION(Sub, "Sub", handleSub, kFlowControl,
            "Opens a subroutine declaration, closed by EndSub.",
            ({kSubName, "Name", "the subroutine's name; a subroutine takes no parameters"}))
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
            ({kEndKind, "Block", "Do, For or Sub"}))

// Spatial statistics.
INSTRUCTION(RectPolar, "RectPolar", handleRectPolar, kSpatialStatistics,
            "Converts a rectangular pair to polar form.",
            ({kExpression, "Dest", "where the polar pair (magnitude, angle) goes"},
             {kExpression, "Source", "the rectangular pair (x, y)"}))
INSTRUCTION(RMSSpa, "RMSSpa", handleRMSSpa, kSpatialStatistics,
            "Stores the root mean square of consecutive array elements.",
            ({kVariable, "Dest", "the variable that receives the result"},
             {kConstant, "Count", kNoteSpatialCount},
             {kVariable, "Source", kNoteSpatialSource}))
INSTRUCTION(StdDevSpa, "StdDevSpa", handleStdDevSpa, kSpatialStatistics,
            "Stores the standard deviation of consecutive array elements.",
            ({kVariable, "Dest", "the variable that receives the result"},
             {kConstant, "Count", kNoteSpatialCount},
             {kVariable, "Source", kNoteSpatialSource}))
INSTRUCTION(MaxSpa, "MaxSpa", handleMaxSpa, kSpatialStatistics,
            "Stores the maximum of consecutive array elements.",
            ({kVariable, "Dest",
                "an array of at least 2 elements from the one named: it receives 2 results"},
             {kConstant, "Count", kNoteSpatialCount},
             {kVariable, "Source", kNoteSpatialSource}))
INSTRUCTION(MinSpa, "MinSpa", handleMinSpa, kSpatialStatistics,
            "Stores the minimum of consecutive array elements.",
            ({kVariable, "Dest",
                "an array of at least 2 elements from the one named: it receives 2 results"},
             {kConstant, "Count", kNoteSpatialCount},
             {kVariable, "Source", kNoteSpatialSource}))
INSTRUCTION(AvgSpa, "AvgSpa", handleAvgSpa, kSpatialStatistics,
            "Stores the average of consecutive array elements.",
            ({kVariable, "Dest", "the variable that receives the result"},
             {kConstant, "Count", kNoteSpatialCount},
             {kVariable, "Source", kNoteSpatialSource}))
INSTRUCTION(CovSpa, "CovSpa", handleCovSpa, kSpatialStatistics,
            "Stores covariances of consecutive array elements.",
            ({kVariable, "Dest", "the variable or array that receives the results"},
             {kConstant, "Count1", "a count carried in the record"},
             {kConstant, "Count2", "a count carried in the record"},
             {kExpression, "Source1", "the first source, an expression"},
             {kVariable, "Source2", "the second source, a variable or array"}))

INSTRUCTION(StationName, "StationName", handleNothing, kDeclarations,
            "Names the station; compiles to nothing.",
            ({kName, "Name", "the station's name; nothing is compiled"}))
INSTRUCTION(Print, "Print", handlePrint, kCommunication,
            "Sends text and values out of a serial port: Print(Port, Baud, Items).",
            ({kRawText, "Arguments",
                "(Port, Baud, Items): port 1 (radio, 9600 baud only) or 2, C1 or C2; baud 1200, "
                "2400, 4800 or 9600; up to 5 items separated by , or ;: an expression, a string "
                "of at most 19 characters, or CHR$(code)"}))
INSTRUCTION(Randomize, "Randomize", handleRandomize, kPortsTiming,
            "Seeds the random number generator.",
            ({kExpression, "Seed", "the seed"}))
INSTRUCTION(ClockSet, "ClockSet", handleClockSet, kPortsTiming,
            "Sets the logger's clock.",
            ({kExpression, "Source", "the value the clock is set from"}))
INSTRUCTION(RealTime, "RealTime", handleRealTime, kPortsTiming,
            "Reads the clock into an array, or one element of it.",
            ({kVariable, "Dest", "the array that receives the clock values"},
             {kOptionalConstant, "Element",
                "0..8: which single value to read; nothing reads them all"}))
INSTRUCTION(SendGetData, "SendGetData", handleSendGetData, kCommunication,
            "Exchanges arrays of values with another logger over the network.",
            ({kVariable, "FirstVariable", kNoteCarriedVariable},
             {kExpression, "Dest",
                "the array that receives values, at most 17 elements from the one named"},
             {kExpression, "Source",
                "the array that is sent, at most 48 elements from the one named"},
             {kConstant, "Port", kNoteNetworkPort},
             {kConstant, "Host", kNoteHostAddress},
             {kConstant, "Repeater", kNoteRepeaterAddress},
             {kConstant, "Setting", "a constant carried in the record (low 16 bits)"}))
INSTRUCTION(AnalogPortGet, "AnalogPortGet", handleAnalogPortGet, kPortsTiming,
            "Reads an analog port into a variable.",
            ({kVariable, "Dest", "the variable that receives the port's value"},
             {kConstant, "Channel", "analog channel, 1..6"}))
INSTRUCTION(AnalogPortSet, "AnalogPortSet", handleAnalogPortSet, kPortsTiming,
            "Sets an analog port from a value.",
            ({kConstant, "Channel", "analog channel, 1..6"},
             {kExpression, "Value", "the value the port is set to"}))
INSTRUCTION(ReadSendGetInfo, "ReadSendGetInfo", handleReadSendGetInfo, kCommunication,
            "Reads network exchange information for a port into a variable.",
            ({kVariable, "Dest", "the variable that receives the information"},
             {kConstant, "Port", kNoteNetworkPort}))
INSTRUCTION(SetValue, "SetValue", handleSetValue, kCommunication,
            "Sends values to a public field of another logger.",
            ({kVariable, "FirstVariable", kNoteCarriedVariable},
             {kVariable, "Source", "the array whose values are sent"},
             {kExpression, "Value", kNoteCarriedExpression},
             {kName, "Field", "the public field of the other logger, 1..16 characters"},
             {kConstant, "Port", kNoteNetworkPort},
             {kConstant, "Host", kNoteHostAddress},
             {kConstant, "Repeater", kNoteRepeaterAddress},
             {kConstant, "Code", "a 16-bit code carried in the packet"}))
INSTRUCTION(GetValue, "GetValue", handleGetValue, kCommunication,
            "Fetches a public field of another logger.",
            ({kVariable, "FirstVariable", kNoteCarriedVariable},
             {kVariable, "Dest", "the array that receives the value"},
             {kExpression, "Value", kNoteCarriedExpression},
             {kName, "Field", "the public field of the other logger, 1..16 characters"},
             {kConstant, "Port", kNoteNetworkPort},
             {kConstant, "Host", kNoteHostAddress},
             {kConstant, "Repeater", kNoteRepeaterAddress},
             {kConstant, "Code", "a 16-bit code carried in the packet"}))
INSTRUCTION(SetStatus, "SetStatus", handleSetStatus, kCommunication,
            "Writes a field of the status table.",
            ({kName, "Field", "a writable field of the status table"},
             {kExpression, "Value",
                "the value written; for RfPwrMode 0..7 (RF_ON .. RF8S_LH, 6 NO_RF)"}))
INSTRUCTION(RFPortTest, "RFPortTest", handleRFPortTest, kPortsTiming,
            "Tests the radio port into a variable.",
            ({kVariable, "Dest", "the variable that receives the result"}))
INSTRUCTION(Ticker250ms, "Ticker250ms", handleTicker250ms, kPortsTiming,
            "Sets the 250 ms ticker from a value.",
            ({kExpression, "Value", "the value the ticker is set from"}))

// Satellite transmitter.
INSTRUCTION(GOESData, "GOESData", handleGOESData, kSatellite,
            "Names the data table whose fields the transmitter sends.",
            ({kVariable, "FirstVariable", kNoteCarriedVariable},
             {kName, "Table", "a data table of at most 10 fields; not Public or Status"},
             {kExpression, "Value", kNoteCarriedExpression},
             {kConstant, "BufferOption", "buffer option, 0..3 or 9"},
             {kConstant, "DataFormat", "data format, 0..9"}))
INSTRUCTION(GOESStatus, "GOESStatus", handleGOESStatus, kSatellite,
            "Reads transmitter status into an array.",
            ({kVariable, "Dest",
                "the array that receives the status: request 0 needs 4 elements, 1 13, 2 14, 4 "
                "10, 3, 5 and 6 one"},
             {kConstant, "Request", "which status to read, 0..7"}))
INSTRUCTION(GOESSetup, "GOESSetup", handleGOESSetup, kSatellite,
            "Configures the transmitter: identifier, channels, baud rates and timing.",
            ({kVariable, "FirstVariable", kNoteCarriedVariable},
             {kConstant, "PlatformID", "platform identifier, even"},
             {kConstant, "Window", "message window, 1..120"},
             {kConstant, "STChannel", "self-timed channel, 0..566"},
             {kConstant, "STBaud", "self-timed baud rate: 100, 300 or 1200"},
             {kConstant, "RChannel", "random channel, 0..566"},
             {kConstant, "RBaud", "random baud rate: 100, 300 or 1200"},
             {kRawText, "Times",
                "in quotes, separated by commas: the self-timed interval dd_hh_mm_ss (at most 14 "
                "days), its offset hh_mm_ss and the random interval hh_mm_ss (at most 24 hours); "
                "at most 100 characters"}))
INSTRUCTION(GOESGPS, "GOESGPS", handleGOESGPS, kSatellite,
            "Reads GPS data into two arrays.",
            ({kVariable, "Dest1", "an array of at least 6 elements"},
             {kVariable, "Dest2", "an array of at least 7 elements"}))

// Serial devices, program sections and communication.
INSTRUCTION(SerialInput, "SerialInput", handleSerialInput, kSdi12Serial,
            "Receives filtered serial data into an array.",
            ({kVariable, "Dest", "the array that receives the values; Reps elements from it"},
             {kConstant, "Reps", "number of values received"},
             {kConstant, "Setting", "a byte carried in the record as written"},
             {kName, "Filter", "filter string, at most 31 characters"},
             {kOptionalConstant, "Port", "nothing, 0 or 2 for one port, 4 for the other"},
             {kOptionalConstant, "Baud", "1200, 2400, 4800 or 9600 (nothing: 9600)"}))
INSTRUCTION(LoggerIdentify, "LoggerIdentify", handleLoggerIdentify, kSdi12Serial,
            "Answers an identification request with a response string.",
            ({kName, "Filter", "the request answered, at most 4 characters"},
             {kName, "Response",
                "the answer, at most 39 characters; \\n and \\r stand for line feed and carriage "
                "return"}))
INSTRUCTION(InterruptSequence, "InterruptSequence", handleInterruptSequence,
            kProgramStructure,
            "Opens the interrupt section, after the measurement loop and up to EndProg.",
            ())
INSTRUCTION(SDI12SensorSetup, "SDI12SensorSetup", handleSDI12SensorSetup, kSdi12Serial,
            "Makes the logger answer an SDI-12 recorder as a sensor.",
            ({kConstant, "Reps", "number of values answered, 1..20"},
             {kConstant, "Port", "port, 1"},
             {kExpression, "Value", kNoteCarriedExpression},
             {kConstant, "ResponseTime", "response time in seconds, 0..99"}))
INSTRUCTION(SDI12SensorResponse, "SDI12SensorResponse", handleSDI12SensorResponse,
            kSdi12Serial,
            "Gives the values the logger answers with as an SDI-12 sensor.",
            ({kVariable, "Source",
                "the values answered: an array of at least the setup's Reps elements"}))
INSTRUCTION(SendData, "SendData", handleSendData, kCommunication,
            "Sends a data table to another logger.",
            ({kConstant, "Port", kNoteNetworkPort},
             {kConstant, "Neighbor", "neighbor network address, 1..4094; -1 for the host itself"},
             {kConstant, "Host", kNoteHostAddress},
             {kText, "Table", "a data table declared earlier, or Public"}))
INSTRUCTION(ModBusMaster, "ModBusMaster", handleModBusMaster, kCommunication,
            "Polls a Modbus device.",
            ({kVariable, "FirstVariable", kNoteCarriedVariable},
             {kConstant, "ComPort", "COM port, 1..3"},
             {kConstant, "BaudRate", "baud rate, 1200 or 9600"},
             {kExpression, "Value1", kNoteCarriedExpression},
             {kConstant, "Function",
                "function 1..5, 15 or 16, plus 100 times the data type 0..5; negative sets a flag"},
             {kVariable, "Variable", "a variable or array carried in the record"},
             {kExpression, "Value2", kNoteCarriedExpression},
             {kExpression, "Value3", kNoteCarriedExpression},
             {kConstant, "Setting", "a byte carried in the record as written"},
             {kConstant, "Timeout", "time allowed in hundredths of a second, at most 6500"}))
INSTRUCTION(ModBusSlave, "ModBusSlave", handleModBusSlave, kCommunication,
            "Answers as a Modbus slave on a COM port.",
            ({kConstant, "ComPort", "COM port, 1..3; one slave per port"},
             {kConstant, "BaudRate", "baud rate, 1200 or 9600"},
             {kExpression, "Value", kNoteCarriedExpression},
             {kVariable, "Registers",
                "registers: an array of at most 15 elements from the one named"},
             {kExpression, "Booleans",
                "booleans: an array of at most 16 elements, or 0 (not on COM port 3)"},
             {kOptionalConstant, "Flag", "a flag carried in the record (nothing: 0)"},
             {kOptionalConstant, "Setting", "a 16-bit value carried in the record (nothing: 0)"}))

INSTRUCTION(EndOfKeywords, "", handleNothing, kProgramStructure,
            "Closes the keyword lookup; no statement has it.",
            ())
