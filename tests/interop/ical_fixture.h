// A document with every kind the iCalendar export knows, for the interop tests.
#pragma once

#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/model_builders.h"

// Work / Sub: the action "Write report" (25-27 June 2010, High, Anna Zee, 4 hours, 50%);
// Work: the to-do "Buy milk" (done, "2 litres"), the undated action "Plan", a call, a mail
// and a pay; Home: the to-do "Café €5" in Windows-1252, priority Today; the contact Anna
// Zee and a fact, which are not exported.
struct IcsFixture {
    explicit IcsFixture(VCollection& c) {
        work = AddNode<VGroup>(c);
        work->name = "Work";
        sub = AddNode<VGroup>(c, work);
        sub->name = "Sub";
        home = AddNode<VGroup>(c);
        home->name = "Home";
        anna = AddNode<VContact>(c);
        anna->firstName = "Anna";
        anna->lastName = "Zee";
        report = AddNode<VTask>(c, sub);
        report->what = "Write report";
        report->flags = 0;
        report->startDate = "2010-06-25";
        report->duration = 3;
        report->priority = 2;
        report->assignees[0] = anna;
        report->hoursOfWork = 4;
        report->completion = 50;
        plan = AddNode<VTask>(c, work);
        plan->what = "Plan";
        milk = AddNode<VTodo>(c, work);
        milk->what = "Buy milk";
        milk->extra = "2 litres";
        milk->flags = DONE;
        cafe = AddNode<VTodo>(c, home);
        cafe->what = "Caf\xE9 \x80"
                     "5";
        cafe->priority = 3;
        call = AddNode<VCall>(c, work);
        call->who = "Bob";
        call->reason = "dinner";
        call->detail = "555-1234";
        mail = AddNode<VMail>(c, work);
        mail->who = "Carol";
        pay = AddNode<VPay>(c, work);
        pay->who = "Landlord";
        pay->account = "NL00";
        fact = AddNode<VFact>(c, work);
    }
    VGroup *work, *sub, *home;
    VContact* anna;
    VTask *report, *plan;
    VTodo *milk, *cafe;
    VCall* call;
    VMail* mail;
    VPay* pay;
    VFact* fact;
};
